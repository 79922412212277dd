// The error codes a device object reports through PMGetScanError, one name each for both command
// families; 0 is no error.
#pragma once

#include <cstdint>

namespace vexscan {

inline constexpr int32_t kErrorDeviceStopped = 4;      // a classic block without lines, no reason
inline constexpr int32_t kErrorBadReply = 7;           // identity, name or status unusable
inline constexpr int32_t kErrorNoMemory = 8;           // the data buffer cannot be allocated
inline constexpr int32_t kErrorTransfer = 9;           // the image data transfer failed
inline constexpr int32_t kErrorUnsupportedLevel = 10;  // command level not driven
inline constexpr int32_t kErrorOption13 = 13;          // document-source conditions (feeder
inline constexpr int32_t kErrorOption14 = 14;          //   status 0x08, 0x04, 0x02; 14 also
inline constexpr int32_t kErrorOption15 = 15;          //   paper end, 15 also the film adapter)
inline constexpr int32_t kErrorDoesNotFit = 16;        // line or area beyond buffer or limits
inline constexpr int32_t kErrorDeviceFault = 22;       // device fault, not ready, build failure
inline constexpr int32_t kErrorAreaPosition = 34;      // position or edge beyond 65 535
inline constexpr int32_t kErrorAreaSize = 35;          // width beyond 32 752 or height 65 535
inline constexpr int32_t kErrorPortRefused = 37;       // the driver refused to open the port
inline constexpr int32_t kErrorStatusFault = 39;       // status bit 0x40 of the main status
inline constexpr int32_t kErrorFurtherFault = 40;      // bit 0x02 of the further status

}  // namespace vexscan
