// The byte-level conventions both command families share: two-byte commands, single-byte
// acknowledgements, parameter groups, reply headers and the paper-handling control bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "vexscan/comm/comm_port.h"

namespace vexscan {

inline constexpr uint8_t kEsc = 0x1B;
inline constexpr uint8_t kFs = 0x1C;
inline constexpr uint8_t kAck = 0x06;
inline constexpr uint8_t kNak = 0x15;  // what a device refusing a command answers; any non-ACK refuses
inline constexpr uint8_t kCan = 0x18;
inline constexpr uint8_t kStx = 0x02;
inline constexpr uint8_t kFormFeed = 0x0C;     // eject the sheet
inline constexpr uint8_t kEndOfMedium = 0x19;  // feed a sheet

inline constexpr std::size_t kReplyBufferSize = 100;
inline constexpr std::size_t kEscTableBufferSize = 260;
inline constexpr uint8_t kNoSelector = 0xFF;

// The device object's side of an exchange: the port and the replyBuffer that acknowledgements and
// short replies are read into.
struct DeviceLink {
    CommPort& port;
    std::span<uint8_t, kReplyBufferSize> replyBuffer;
};

// Multi-byte values on the wire are little-endian.
inline uint16_t readWord(const uint8_t* bytes) {
    return static_cast<uint16_t>(bytes[0] | (bytes[1] << 8));
}
inline uint32_t readLong(const uint8_t* bytes) {
    return static_cast<uint32_t>(readWord(bytes)) |
           static_cast<uint32_t>(readWord(bytes + 2)) << 16;
}

// First four bytes of every variable-length reply.
struct ReplyHeader {
    static constexpr std::size_t kSize = 4;
    uint8_t mark;
    uint8_t status;
    uint16_t count;

    static ReplyHeader parse(const uint8_t* bytes) {
        return {bytes[0], bytes[1], readWord(bytes + 2)};
    }
    bool valid() const { return mark == kStx; }
};

// Command only, in one write; no acknowledgement is read.
bool sendEsc(CommPort& port, uint8_t letter);
bool sendFs(CommPort& port, uint8_t letter);

// After a fixed pause, clears replyBuffer[0..9] and reads one byte into replyBuffer[0]; true for ACK.
bool readAck(const DeviceLink& link);

// ESC letter, its acknowledgement, then the parameter group in one write and its acknowledgement.
// A refused command never has its parameters sent.
bool sendEscByte(const DeviceLink& link, uint8_t letter, uint8_t value);
bool sendEscTwoBytes(const DeviceLink& link, uint8_t letter, uint8_t first, uint8_t second);
bool sendEscTwoWords(const DeviceLink& link, uint8_t letter, uint16_t first, uint16_t second);
bool sendEscFourWords(const DeviceLink& link, uint8_t letter, uint16_t first, uint16_t second,
                      uint16_t third, uint16_t fourth);
// The selector byte (none when it is kNoSelector) and the data go out in one write of at most
// kEscTableBufferSize bytes; a table that would not fit is refused before anything is sent.
bool sendEscTable(const DeviceLink& link, uint8_t letter, uint8_t selector, const uint8_t* data,
                  uint16_t length);

bool resetScanner(const DeviceLink& link);  // ESC @
bool ejectPaper(const DeviceLink& link);    // FF
bool feedPaper(const DeviceLink& link);     // EM

// Reads a reply body of `count` bytes, keeping the first `capacity` of them in `destination` and
// reading and dropping the rest, so the byte stream stays in step with the device even when a
// reply is longer than the space for it.
struct ReplyBodyRead {
    bool ok;
    std::size_t stored;  // bytes placed in the destination
};
ReplyBodyRead readReplyBody(CommPort& port, uint8_t* destination, std::size_t capacity, uint32_t count);

}  // namespace vexscan
