#include "vexscan/comm/transport.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace vexscan {
namespace {

bool sendCommand(CommPort& port, uint8_t prefix, uint8_t letter) {
    const uint8_t command[2] = {prefix, letter};
    return port.writeBytes(command, sizeof command);
}

// The pause devices of this family need between a command and reading its answer. A counted
// loop, not a sleep; the volatile counter keeps the compiler from removing it.
void pauseBeforeAcknowledgement() {
    volatile uint32_t step = 0;
    while (step < 10000u) {
        step = step + 1u;
    }
}

bool sendParameters(const DeviceLink& link, uint8_t letter, const uint8_t* parameters, uint32_t count) {
    sendEsc(link.port, letter);  // a failed write shows as a missing acknowledgement
    if (!readAck(link)) {
        return false;
    }
    link.port.writeBytes(parameters, count);
    return readAck(link);
}

bool sendControlByte(const DeviceLink& link, uint8_t control) {
    if (!link.port.writeBytes(&control, 1)) {
        return false;
    }
    return readAck(link);
}

void putWord(uint8_t* destination, uint16_t value) {
    destination[0] = static_cast<uint8_t>(value & 0xFFu);
    destination[1] = static_cast<uint8_t>(value >> 8);
}

}  // namespace

bool sendEsc(CommPort& port, uint8_t letter) { return sendCommand(port, kEsc, letter); }

bool sendFs(CommPort& port, uint8_t letter) { return sendCommand(port, kFs, letter); }

bool readAck(const DeviceLink& link) {
    pauseBeforeAcknowledgement();
    std::fill_n(link.replyBuffer.begin(), 10, uint8_t{0});
    if (!link.port.readBytes(link.replyBuffer.data(), 1)) {
        return false;
    }
    return link.replyBuffer[0] == kAck;
}

bool sendEscByte(const DeviceLink& link, uint8_t letter, uint8_t value) {
    return sendParameters(link, letter, &value, 1);
}

bool sendEscTwoBytes(const DeviceLink& link, uint8_t letter, uint8_t first, uint8_t second) {
    const uint8_t parameters[2] = {first, second};
    return sendParameters(link, letter, parameters, sizeof parameters);
}

bool sendEscTwoWords(const DeviceLink& link, uint8_t letter, uint16_t first, uint16_t second) {
    uint8_t parameters[4];
    putWord(parameters, first);
    putWord(parameters + 2, second);
    return sendParameters(link, letter, parameters, sizeof parameters);
}

bool sendEscFourWords(const DeviceLink& link, uint8_t letter, uint16_t first, uint16_t second,
                      uint16_t third, uint16_t fourth) {
    uint8_t parameters[8];
    putWord(parameters, first);
    putWord(parameters + 2, second);
    putWord(parameters + 4, third);
    putWord(parameters + 6, fourth);
    return sendParameters(link, letter, parameters, sizeof parameters);
}

bool sendEscTable(const DeviceLink& link, uint8_t letter, uint8_t selector, const uint8_t* data,
                  uint16_t length) {
    const std::size_t selectorBytes = selector == kNoSelector ? 0 : 1;
    if (selectorBytes + length > kEscTableBufferSize) {
        return false;
    }
    std::array<uint8_t, kEscTableBufferSize> parameters{};
    if (selectorBytes != 0) {
        parameters[0] = selector;
    }
    if (length != 0) {
        std::memcpy(parameters.data() + selectorBytes, data, length);
    }
    return sendParameters(link, letter, parameters.data(), static_cast<uint32_t>(selectorBytes + length));
}

bool resetScanner(const DeviceLink& link) {
    if (!sendEsc(link.port, '@')) {
        return false;
    }
    return readAck(link);
}

bool ejectPaper(const DeviceLink& link) { return sendControlByte(link, kFormFeed); }

bool feedPaper(const DeviceLink& link) { return sendControlByte(link, kEndOfMedium); }

ReplyBodyRead readReplyBody(CommPort& port, uint8_t* destination, std::size_t capacity, uint32_t count) {
    const std::size_t kept = std::min<std::size_t>(capacity, count);
    if (kept != 0 && !port.readBytes(destination, static_cast<uint32_t>(kept))) {
        return {false, 0};
    }
    std::array<uint8_t, 256> discard;
    for (uint32_t remaining = count - static_cast<uint32_t>(kept); remaining != 0;) {
        const uint32_t chunk = std::min<uint32_t>(remaining, discard.size());
        if (!port.readBytes(discard.data(), chunk)) {
            return {false, kept};
        }
        remaining -= chunk;
    }
    return {true, kept};
}

}  // namespace vexscan
