// What a simulated scanner is: its family, command level, resolutions, areas, option, name and
// behaviour. A few profiles are built in; others are read from profile files.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexscan::sim {

enum class Family { Classic, Extended };
enum class OptionKind { None, DocumentFeeder, FilmAdapter };

struct DeviceProfile {
    std::string name = "custom";
    Family family = Family::Extended;
    std::string levelCode = "B7";
    // Resolutions of the identity reply, in reply order; the last is the maximum.
    std::vector<uint16_t> resolutions{300, 600, 1200};
    // Flatbed area in device pixels at the maximum resolution.
    uint32_t bedWidth = 10200;
    uint32_t bedHeight = 14040;
    OptionKind option = OptionKind::None;
    uint32_t optionWidth = 0;
    uint32_t optionHeight = 0;
    // Document feeder flags 0x20 and 0x10.
    uint8_t feederFlags = 0;
    // Sheets waiting in the document feeder; each page end that ejects a sheet takes one, and
    // an empty feeder reports paper out.
    uint32_t feederSheets = 3;
    // Further bits of the classic extended status reply (ESC f), as the device sends them:
    // the header's status byte (0x40, 0x80), the main status byte beside the feeder flags (0x80
    // fault, 0x02 warming up), the feeder and film adapter status beside their attached bit 0x80,
    // and the further status byte (0x02).
    uint8_t statusHeader = 0;
    uint8_t mainStatus = 0;
    uint8_t feederStatus = 0;
    uint8_t filmStatus = 0;
    uint8_t furtherStatus = 0;
    // Exactly 16 characters, blank-padded.
    std::string productName = "FLATBED RX-410  ";
    // Status polls that still report the lamp warming up.
    int32_t warmUpPolls = 0;
    // What a classic device answers to ESC q after automatic focusing: the position reached and
    // whether focusing failed.
    uint8_t focusResult = 0x40;
    bool focusFails = false;
    // Extended identity (FS I): the unit of its area figures (bed and option areas are taken in
    // it) and its two resolution figures (the caller sees twice the first and half the second).
    uint32_t baseResolution = 1200;
    uint32_t firstResolutionFigure = 150;
    uint32_t secondResolutionFigure = 2400;
    // What DDGetOpsys answers: 3 and 4 ask for the registry form of DDInit.
    int32_t systemCode = 4;
    // Status byte of the identity reply's header; by default 0x02 for the extended family.
    std::optional<uint8_t> identityStatus;

    uint8_t effectiveIdentityStatus() const {
        return identityStatus.value_or(family == Family::Extended ? 0x02 : 0x00);
    }
};

// The profile a driver without any configuration simulates.
inline constexpr std::string_view kDefaultProfileName = "extended-b7";

std::vector<std::string> builtInProfileNames();
std::optional<DeviceProfile> builtInProfile(std::string_view name);

// Reads a profile file of "key = value" lines ('#' starts a comment); on failure returns nothing
// and describes the fault in `error`.
std::optional<DeviceProfile> parseProfile(std::string_view text, std::string& error);
std::optional<DeviceProfile> loadProfileFile(const std::string& path, std::string& error);

// A built-in name, else a profile file's path.
std::optional<DeviceProfile> resolveProfile(const std::string& nameOrPath, std::string& error);

}  // namespace vexscan::sim
