#include "kiva4cpl/page_rules.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <cwchar>

#include "kiva4cpl/resource_ids.h"

namespace kiva4cpl {

std::uint16_t announcedDataLength(std::span<const std::uint8_t, statusHeaderSize> header) {
    return static_cast<std::uint16_t>(header[2] | (header[3] << 8));
}

StatusDataPlan statusDataPlan(std::uint16_t announced) {
    const std::size_t keep = std::min<std::size_t>(announced, statusDataCapacity);
    return {keep, announced - keep};
}

int interfaceLabelId(std::uint32_t hardwareConfiguration) {
    switch (hardwareConfiguration) {
        case 2:
            return IDS_INTERFACE_SCSI;
        case 4:
            return IDS_INTERFACE_USB;
        default:
            return IDS_UNKNOWN;
    }
}

int optionLabelId(std::span<const std::uint8_t, statusBufferSize> status) {
    constexpr std::size_t feederStatus = statusHeaderSize + 1;
    constexpr std::size_t filmAdapterStatus = statusHeaderSize + 6;
    if (status[feederStatus] & 0x80) return IDS_OPTION_FEEDER;
    if (status[filmAdapterStatus] & 0x80) return IDS_OPTION_FILM_ADAPTER;
    return IDS_OPTION_NONE;
}

bool isDefaultScanner(std::string_view description, std::uint32_t hardwareConfiguration,
                      std::string_view rememberedName, std::uint32_t rememberedInterface) {
    return !description.empty() && description == rememberedName &&
           hardwareConfiguration == rememberedInterface;
}

DefaultScannerChoice defaultScannerChoice(bool checked, std::string_view description,
                                          std::uint32_t hardwareConfiguration) {
    if (checked) return {std::string(description), hardwareConfiguration};
    return {std::string(), noDefaultInterface};
}

std::string convertDescription(const wchar_t* description, std::size_t bufferSize) {
    std::string text;
    if (description == nullptr || bufferSize == 0) return text;
    std::mbstate_t state{};
    char character[MB_LEN_MAX];
    for (const wchar_t* at = description; *at != L'\0'; ++at) {
        const std::size_t length = std::wcrtomb(character, *at, &state);
        if (length == static_cast<std::size_t>(-1)) break;
        if (text.size() + length + 1 > bufferSize) break;
        text.append(character, length);
    }
    return text;
}

bool copyTerminated(std::span<char> destination, std::string_view text) {
    if (destination.empty()) return text.empty();
    const std::size_t length = std::min(text.size(), destination.size() - 1);
    std::memcpy(destination.data(), text.data(), length);
    destination[length] = '\0';
    return length == text.size();
}

std::string_view terminatedText(std::span<const char> buffer) {
    const auto end = std::find(buffer.begin(), buffer.end(), '\0');
    return {buffer.data(), static_cast<std::size_t>(end - buffer.begin())};
}

}  // namespace kiva4cpl
