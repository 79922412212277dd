// The simulated scanner's answer to the extended status command ESC f, in the classic layout:
// 0x02, header status, 16-bit little-endian data length, then the data bytes.
#pragma once

#include <cstdint>
#include <vector>

namespace sim::sti {

struct ClassicStatus {
    std::uint8_t headerStatus = 0;
    std::uint8_t mainStatus = 0;
    std::uint8_t feederStatus = 0;  // bit 0x80: document feeder attached
    std::uint16_t feederWidth = 0;
    std::uint16_t feederHeight = 0;
    std::uint8_t filmStatus = 0;  // bit 0x80: film adapter attached
    std::uint16_t filmWidth = 0;
    std::uint16_t filmHeight = 0;
    std::uint8_t furtherStatus = 0;
};

// The 12 data bytes of the status, followed by `extraDataBytes` zero bytes (a newer device's
// longer reply), behind a header that begins with `mark` (0x02 from a healthy device).
std::vector<std::uint8_t> classicStatusReply(const ClassicStatus& status, std::uint8_t mark,
                                             std::uint16_t extraDataBytes);

}  // namespace sim::sti
