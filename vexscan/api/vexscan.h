/* The scanner access library's exported interface: what a caller of the package includes.
 * Plain C, so that any caller can use it; every record is packed little-endian with fixed
 * offsets, exactly as it crosses the library boundary. */
#ifndef VEXSCAN_VEXSCAN_H
#define VEXSCAN_VEXSCAN_H

#include <stdint.h>

#include "vexscan/platform/callconv.h"

#if defined(VEXSCAN_BUILDING_LIBRARY) && !defined(_WIN32)
#define VEXSCAN_EXPORT __attribute__((visibility("default")))
#else
#define VEXSCAN_EXPORT
#endif

/* Exports never throw: every failure is an integer result or a status in a record. */
#ifdef __cplusplus
#define VEXSCAN_NOEXCEPT noexcept
#else
#define VEXSCAN_NOEXCEPT
#endif

#ifdef __cplusplus
extern "C" {
#endif

#pragma pack(push, 1)

/* Filled by PMInitAcquire. status: 1 set up, 2 refused (reason from PMGetScanError). */
typedef struct InitAcquireResult {
    int32_t status;
    int32_t reserved4;
    int32_t bytesPerLine;
    int32_t reserved12;
    int32_t pixelsPerLine;
    int32_t lineCount;
} InitAcquireResult;

/* Filled by PMAcquireImage. status: 1 this call completed, 2 failed. */
typedef struct AcquireImageResult {
    int32_t status;
    int32_t reserved4;
    int32_t pageDone;
    int32_t linesDelivered;
} AcquireImageResult;

#pragma pack(pop)

/* The caller's record of settings, capabilities and results; its layout is in
 * scan_param_block.h. */
typedef struct ScanParamBlock ScanParamBlock;
#include "vexscan/api/scan_param_block.h"

/* Told the percentage done (0 to 100) while a page is acquired. */
typedef void(VEXSCAN_CALL* ProgressCallback)(int32_t percent);


VEXSCAN_EXPORT int32_t VEXSCAN_CALL PMAbortScan(void) VEXSCAN_NOEXCEPT;
VEXSCAN_EXPORT void VEXSCAN_CALL PMAcquireImage(uint8_t* buffer, uint32_t bufferSize, AcquireImageResult* result) VEXSCAN_NOEXCEPT;
VEXSCAN_EXPORT void VEXSCAN_CALL PMCloseScanner(void) VEXSCAN_NOEXCEPT;
VEXSCAN_EXPORT int32_t VEXSCAN_CALL PMEject(int32_t unused) VEXSCAN_NOEXCEPT;
VEXSCAN_EXPORT int32_t VEXSCAN_CALL PMEnableOption(int32_t enable) VEXSCAN_NOEXCEPT;
VEXSCAN_EXPORT int32_t VEXSCAN_CALL PMFeed(int32_t unused) VEXSCAN_NOEXCEPT;
VEXSCAN_EXPORT int32_t VEXSCAN_CALL PMGetOptionStatus(int32_t optionKind) VEXSCAN_NOEXCEPT;
VEXSCAN_EXPORT int32_t VEXSCAN_CALL PMGetScanError(void) VEXSCAN_NOEXCEPT;
VEXSCAN_EXPORT int32_t VEXSCAN_CALL PMGetScanPaperSize(int32_t sizeSelector, int32_t* width, int32_t* height) VEXSCAN_NOEXCEPT;
VEXSCAN_EXPORT int32_t VEXSCAN_CALL PMGetScannerName(char* name) VEXSCAN_NOEXCEPT;
VEXSCAN_EXPORT void VEXSCAN_CALL PMInitAcquire(int32_t layoutCode, ProgressCallback progressCallback,
                                               InitAcquireResult* result) VEXSCAN_NOEXCEPT;
VEXSCAN_EXPORT int32_t VEXSCAN_CALL PMOpenScanner(ScanParamBlock* block) VEXSCAN_NOEXCEPT;
VEXSCAN_EXPORT int32_t VEXSCAN_CALL PMReset(void) VEXSCAN_NOEXCEPT;
VEXSCAN_EXPORT int8_t VEXSCAN_CALL PMSetFocus(int32_t autoFocus, int32_t focusPosition) VEXSCAN_NOEXCEPT;

#ifdef __cplusplus
}
#endif

#endif
