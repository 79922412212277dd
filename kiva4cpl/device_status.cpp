#include "kiva4cpl/device_status.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "kiva4cpl/module_state.h"

namespace kiva4cpl {

namespace {

constexpr std::uint8_t escape = 0x1B;

IStiDevice* openDevice() { return moduleState().page.device.get(); }

bool discardBytes(std::size_t count) {
    std::array<std::uint8_t, 64> scratch;
    while (count > 0) {
        const std::size_t chunk = std::min(count, scratch.size());
        if (!rawRead(scratch.data(), static_cast<DWORD>(chunk))) return false;
        count -= chunk;
    }
    return true;
}

}  // namespace

bool rawWrite(const void* buffer, DWORD count) {
    IStiDevice* device = openDevice();
    if (device == nullptr) return false;
    return SUCCEEDED(device->RawWriteData(const_cast<void*>(buffer), count, nullptr));
}

bool rawRead(void* buffer, DWORD count) {
    IStiDevice* device = openDevice();
    if (device == nullptr) return false;
    DWORD transferred = count;
    return SUCCEEDED(device->RawReadData(buffer, &transferred, nullptr));
}

bool sendEscCommand(char letter) {
    const std::array<std::uint8_t, 2> command = {escape, static_cast<std::uint8_t>(letter)};
    return rawWrite(command.data(), static_cast<DWORD>(command.size()));
}

bool readDeviceStatus(std::span<std::uint8_t, statusBufferSize> buffer) {
    std::memset(buffer.data(), 0, statusClearedBytes);
    const bool sent = sendEscCommand('f');
    const bool headerRead = sent && rawRead(buffer.data(), statusHeaderSize);
    if (!headerRead || buffer[0] != statusReplyMark) return false;

    const StatusDataPlan plan =
        statusDataPlan(announcedDataLength(buffer.first<statusHeaderSize>()));
    if (plan.keep > 0 &&
        !rawRead(buffer.data() + statusHeaderSize, static_cast<DWORD>(plan.keep))) {
        return false;
    }
    return discardBytes(plan.discard);
}

}  // namespace kiva4cpl
