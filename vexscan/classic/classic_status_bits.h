// Positions and bits of the classic extended status reply (ESC f), with the error codes they map
// to. Data byte k of the reply sits at reply byte 4 + k.
#pragma once

#include <cstddef>
#include <cstdint>

#include "vexscan/device/error_codes.h"

namespace vexscan {

// Reply byte 1, the header's status byte.
inline constexpr uint8_t kStatusHeaderFault = 0x40;  // error 39
inline constexpr uint8_t kStatusHeaderBusy = 0x80;   // error 22, asked for an option only

// Data byte positions.
inline constexpr std::size_t kStatusMain = 0;
inline constexpr std::size_t kStatusFeeder = 1;
inline constexpr std::size_t kStatusFeederArea = 2;
inline constexpr std::size_t kStatusFilm = 6;
inline constexpr std::size_t kStatusFilmArea = 7;
inline constexpr std::size_t kStatusFurther = 11;

inline constexpr uint8_t kMainFault = 0x80;  // error 22
inline constexpr uint8_t kMainWarmingUp = 0x02;
inline constexpr uint8_t kOptionStatusValid = 0x40;  // the option's condition bits mean something
inline constexpr uint8_t kFeederCondition14 = 0x04;
inline constexpr uint8_t kFeederCondition15 = 0x02;
inline constexpr uint8_t kFeederCondition13 = 0x08;
inline constexpr uint8_t kFilmCondition15 = 0x02;
inline constexpr uint8_t kFurtherFault = 0x02;  // error 40

// The checks the warm-up wait applies to a reply (header and data): 39, 40, the feeder's 14, 15
// and 13 (under its valid bit, whatever option is attached), then 22; 0 when none applies.
int32_t classicStatusCheck(const uint8_t* reply);

}  // namespace vexscan
