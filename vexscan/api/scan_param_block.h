/* The ScanParamBlock: the record a caller shares with the library for the whole connection.
 * Settings in, device capabilities and a few results out. It is packed and little-endian, so many
 * 32-bit fields sit at offsets that are not multiples of 4; the gaps between the fields belong to
 * the caller and the library never touches them, nor any byte past the 1776 bytes below.
 * Copy a field out before binding a reference or pointer to it (std::min, test macros): most
 * int32 fields are unaligned. Plain C as well as C++, since the exported C header includes it. */
#ifndef VEXSCAN_SCAN_PARAM_BLOCK_H
#define VEXSCAN_SCAN_PARAM_BLOCK_H

#include <stddef.h>
#include <stdint.h>

#pragma pack(push, 1)

typedef struct ScanParamBlock {
    /* Capabilities, written while the device opens. */
    int32_t levelIndex; /* 0x000: command level as a small integer; 0 unsupported */
    char levelCode[3];  /* 0x004: the two level characters, e.g. "B7", and a NUL */
    uint8_t reserved007[1];
    char modelCode[8];  /* 0x008: NUL-terminated model code name */
    int32_t optionKind; /* 0x010: 0 document feeder, 1 film adapter, 2 none */
    uint8_t reserved014[4];
    int32_t sourceCount;  /* 0x018: 1 flatbed only, 2 flatbed and option */
    int32_t bedWidth;     /* 0x01C: hundredths of an inch */
    int32_t bedHeight;    /* 0x020 */
    int32_t optionWidth;  /* 0x024: written only when an option is attached */
    int32_t optionHeight; /* 0x028 */
    uint8_t reserved02C[34];
    int32_t levelFeatureCount;  /* 0x04E */
    int32_t halftoneCount;      /* 0x052: usable rows of the halftone table */
    int32_t resolutionList[32]; /* 0x056: dots per inch */
    int32_t resolutionCount;    /* 0x0D6: valid entries of resolutionList */
    uint8_t reserved0DA[16];

    /* The caller's settings; the library only reads them (useOption aside). */
    int32_t dropoutChannel; /* 0x0EA: with monoChannelSelect, 1..3 pick a colour code */
    uint8_t reserved0EE[4];
    int32_t imageType; /* 0x0F2: output pixel layout, 0..8 */
    uint8_t reserved0F6[8];
    int32_t zoomX;       /* 0x0FE: percent */
    int32_t zoomY;       /* 0x102: percent */
    int32_t resolutionX; /* 0x106: main-scan dots per inch */
    int32_t resolutionY; /* 0x10A: sub-scan dots per inch */
    uint8_t reserved10E[20];
    uint8_t invertLineArt; /* 0x122 */
    uint8_t reserved123[7];
    int32_t brightness; /* 0x12A: sent divided by 333 */
    uint8_t reserved12E[8];
    int32_t halftoneIndex; /* 0x136: row of the halftone table, 0..9 */
    int32_t sharpness;     /* 0x13A: sent divided by 500 */
    uint8_t reserved13E[2];
    int16_t gammaValue; /* 0x140: gamma times 100 */
    uint8_t reserved142[2];
    int32_t scanSpeed;        /* 0x144 */
    int32_t colorModeVariant; /* 0x148 */
    uint8_t reserved14C[8];
    uint8_t useOption; /* 0x154: 0 flatbed, 1 attached option; cleared by every open */
    uint8_t reserved155[7];
    int32_t userGammaEnabled; /* 0x15C */
    uint8_t reserved160[4];
    int32_t colorMatrixEnabled; /* 0x164 */
    int32_t textEnhance;        /* 0x168 */
    int32_t textEnhanceOption;  /* 0x16C */
    int32_t mirror;             /* 0x170 */
    uint8_t reserved174[4];
    int32_t holdPageAtEnd;  /* 0x178 */
    int32_t eightBitOutput; /* 0x17C */
    uint8_t reserved180[8];
    int32_t monoChannelSelect; /* 0x188 */
    uint8_t reserved18C[16];
    uint8_t gammaTableB[256]; /* 0x19C */
    uint8_t gammaTableG[256]; /* 0x29C */
    uint8_t gammaTableR[256]; /* 0x39C */
    uint8_t reserved49C[256];
    uint8_t colorMatrix[9]; /* 0x59C */
    uint8_t reserved5A5[49];
    uint8_t filmType; /* 0x5D6 */
    uint8_t reserved5D7[27];

    /* Written while the device opens, only when a document feeder is attached. */
    uint8_t feederFlagA; /* 0x5F2 */
    uint8_t feederFlagB; /* 0x5F3 */
    uint8_t reserved5F4[132];

    /* Zoom capabilities, written while the device opens. */
    int16_t zoomSupported; /* 0x678: always 1 */
    int16_t zoomMin;       /* 0x67A: always 50 */
    int16_t zoomMax;       /* 0x67C: always 200 */

    /* The scan area and the last tone settings, the caller's. */
    int32_t areaWidth;  /* 0x67E: pixels at the scan resolution */
    int32_t areaHeight; /* 0x682: lines */
    int32_t areaLeft;   /* 0x686: pixels */
    int32_t areaTop;    /* 0x68A: lines */
    uint8_t reserved68E[8];
    int16_t threshold;     /* 0x696: line-art threshold, -1 not set */
    int16_t userGammaCode; /* 0x698 */

    /* Results of PMGetScanPaperSize. */
    int32_t paperWidthOut;  /* 0x69A */
    int32_t paperHeightOut; /* 0x69E */
    uint8_t reserved6A2[74];

    int32_t hostWindow; /* 0x6EC: caller window repainted at the start of a scan, 0 none */
} ScanParamBlock;

#pragma pack(pop)

#ifdef __cplusplus
#define VEXSCAN_LAYOUT_ASSERT(condition, message) static_assert(condition, message)
#else
#define VEXSCAN_LAYOUT_ASSERT(condition, message) _Static_assert(condition, message)
#endif

/* Callers compiled by other compilers rely on these offsets; a change here breaks them all. */
#define VEXSCAN_BLOCK_OFFSET(field, offset) \
    VEXSCAN_LAYOUT_ASSERT(offsetof(ScanParamBlock, field) == (offset), "ScanParamBlock." #field)

VEXSCAN_BLOCK_OFFSET(levelIndex, 0x000);
VEXSCAN_BLOCK_OFFSET(levelCode, 0x004);
VEXSCAN_BLOCK_OFFSET(modelCode, 0x008);
VEXSCAN_BLOCK_OFFSET(optionKind, 0x010);
VEXSCAN_BLOCK_OFFSET(sourceCount, 0x018);
VEXSCAN_BLOCK_OFFSET(bedWidth, 0x01C);
VEXSCAN_BLOCK_OFFSET(bedHeight, 0x020);
VEXSCAN_BLOCK_OFFSET(optionWidth, 0x024);
VEXSCAN_BLOCK_OFFSET(optionHeight, 0x028);
VEXSCAN_BLOCK_OFFSET(levelFeatureCount, 0x04E);
VEXSCAN_BLOCK_OFFSET(halftoneCount, 0x052);
VEXSCAN_BLOCK_OFFSET(resolutionList, 0x056);
VEXSCAN_BLOCK_OFFSET(resolutionCount, 0x0D6);
VEXSCAN_BLOCK_OFFSET(dropoutChannel, 0x0EA);
VEXSCAN_BLOCK_OFFSET(imageType, 0x0F2);
VEXSCAN_BLOCK_OFFSET(zoomX, 0x0FE);
VEXSCAN_BLOCK_OFFSET(zoomY, 0x102);
VEXSCAN_BLOCK_OFFSET(resolutionX, 0x106);
VEXSCAN_BLOCK_OFFSET(resolutionY, 0x10A);
VEXSCAN_BLOCK_OFFSET(invertLineArt, 0x122);
VEXSCAN_BLOCK_OFFSET(brightness, 0x12A);
VEXSCAN_BLOCK_OFFSET(halftoneIndex, 0x136);
VEXSCAN_BLOCK_OFFSET(sharpness, 0x13A);
VEXSCAN_BLOCK_OFFSET(gammaValue, 0x140);
VEXSCAN_BLOCK_OFFSET(scanSpeed, 0x144);
VEXSCAN_BLOCK_OFFSET(colorModeVariant, 0x148);
VEXSCAN_BLOCK_OFFSET(useOption, 0x154);
VEXSCAN_BLOCK_OFFSET(userGammaEnabled, 0x15C);
VEXSCAN_BLOCK_OFFSET(colorMatrixEnabled, 0x164);
VEXSCAN_BLOCK_OFFSET(textEnhance, 0x168);
VEXSCAN_BLOCK_OFFSET(textEnhanceOption, 0x16C);
VEXSCAN_BLOCK_OFFSET(mirror, 0x170);
VEXSCAN_BLOCK_OFFSET(holdPageAtEnd, 0x178);
VEXSCAN_BLOCK_OFFSET(eightBitOutput, 0x17C);
VEXSCAN_BLOCK_OFFSET(monoChannelSelect, 0x188);
VEXSCAN_BLOCK_OFFSET(gammaTableB, 0x19C);
VEXSCAN_BLOCK_OFFSET(gammaTableG, 0x29C);
VEXSCAN_BLOCK_OFFSET(gammaTableR, 0x39C);
VEXSCAN_BLOCK_OFFSET(colorMatrix, 0x59C);
VEXSCAN_BLOCK_OFFSET(filmType, 0x5D6);
VEXSCAN_BLOCK_OFFSET(feederFlagA, 0x5F2);
VEXSCAN_BLOCK_OFFSET(feederFlagB, 0x5F3);
VEXSCAN_BLOCK_OFFSET(zoomSupported, 0x678);
VEXSCAN_BLOCK_OFFSET(zoomMin, 0x67A);
VEXSCAN_BLOCK_OFFSET(zoomMax, 0x67C);
VEXSCAN_BLOCK_OFFSET(areaWidth, 0x67E);
VEXSCAN_BLOCK_OFFSET(areaHeight, 0x682);
VEXSCAN_BLOCK_OFFSET(areaLeft, 0x686);
VEXSCAN_BLOCK_OFFSET(areaTop, 0x68A);
VEXSCAN_BLOCK_OFFSET(threshold, 0x696);
VEXSCAN_BLOCK_OFFSET(userGammaCode, 0x698);
VEXSCAN_BLOCK_OFFSET(paperWidthOut, 0x69A);
VEXSCAN_BLOCK_OFFSET(paperHeightOut, 0x69E);
VEXSCAN_BLOCK_OFFSET(hostWindow, 0x6EC);
VEXSCAN_LAYOUT_ASSERT(sizeof(ScanParamBlock) == 1776, "ScanParamBlock size");

#undef VEXSCAN_BLOCK_OFFSET
#undef VEXSCAN_LAYOUT_ASSERT

#endif
