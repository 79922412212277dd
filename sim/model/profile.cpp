#include "sim/model/profile.h"

#include <charconv>
#include <fstream>
#include <iterator>

namespace vexscan::sim {
namespace {

DeviceProfile classic(std::string name, std::string level, std::string product) {
    DeviceProfile profile;
    profile.name = std::move(name);
    profile.family = Family::Classic;
    profile.levelCode = std::move(level);
    profile.productName = std::move(product);
    return profile;
}

DeviceProfile extended(std::string name, std::string level, std::string product) {
    DeviceProfile profile = classic(std::move(name), std::move(level), std::move(product));
    profile.family = Family::Extended;
    return profile;
}

DeviceProfile withFeeder(DeviceProfile profile, uint8_t flags) {
    profile.option = OptionKind::DocumentFeeder;
    profile.optionWidth = 10200;
    profile.optionHeight = 16800;
    profile.feederFlags = flags;
    return profile;
}

DeviceProfile withFilmAdapter(DeviceProfile profile) {
    profile.option = OptionKind::FilmAdapter;
    profile.optionWidth = 4200;
    profile.optionHeight = 5400;
    return profile;
}

std::vector<DeviceProfile> builtInProfiles() {
    DeviceProfile classicB3 = classic("classic-b3", "B3", "Kestrel 300     ");
    classicB3.resolutions = {150, 300, 600};
    classicB3.bedWidth = 5100;
    classicB3.bedHeight = 7020;

    DeviceProfile extendedB7 =
        withFeeder(extended("extended-b7", "B7", "Ambrel Scan 3300"), 0x30);
    extendedB7.warmUpPolls = 2;

    return {
        classicB3,
        withFilmAdapter(classic("classic-b4", "B4", "FLATBED RX-410  ")),
        withFeeder(classic("classic-a5", "A5", "Quorlin880      "), 0x20),
        withFeeder(classic("classic-b8", "B8", "AmbrelScan3300  "), 0x30),
        extended("extended-b3", "B3", "Kestrel 600X    "),
        withFilmAdapter(extended("extended-b6", "B6", "FLATBED RX-410  ")),
        extendedB7,
        extended("extended-b8", "B8", "Quorlin880      "),
    };
}

std::string_view trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

template <typename Integer>
bool parseInteger(std::string_view text, Integer& value) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    return error == std::errc() && end == text.data() + text.size();
}

bool parseArea(std::string_view text, uint32_t& width, uint32_t& height) {
    const std::size_t by = text.find('x');
    return by != std::string_view::npos && parseInteger(trim(text.substr(0, by)), width) &&
           parseInteger(trim(text.substr(by + 1)), height);
}

bool parseResolutions(std::string_view text, std::vector<uint16_t>& resolutions) {
    resolutions.clear();
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        uint16_t value = 0;
        if (!parseInteger(trim(text.substr(0, comma)), value)) {
            return false;
        }
        resolutions.push_back(value);
        text.remove_prefix(comma == std::string_view::npos ? text.size() : comma + 1);
    }
    return true;
}

// A quoted value keeps its blanks: product names are blank-padded to 16 characters.
std::string unquote(std::string_view value) {
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
}

bool applySetting(DeviceProfile& profile, std::string_view key, std::string_view value) {
    if (key == "name") {
        profile.name = unquote(value);
    } else if (key == "family") {
        if (value != "classic" && value != "extended") return false;
        profile.family = value == "classic" ? Family::Classic : Family::Extended;
    } else if (key == "level") {
        profile.levelCode = unquote(value);
        return profile.levelCode.size() == 2;
    } else if (key == "resolutions") {
        return parseResolutions(value, profile.resolutions);
    } else if (key == "bed") {
        return parseArea(value, profile.bedWidth, profile.bedHeight);
    } else if (key == "option") {
        if (value == "none") profile.option = OptionKind::None;
        else if (value == "feeder") profile.option = OptionKind::DocumentFeeder;
        else if (value == "film") profile.option = OptionKind::FilmAdapter;
        else return false;
    } else if (key == "option-area") {
        return parseArea(value, profile.optionWidth, profile.optionHeight);
    } else if (key == "feeder-flags") {
        return parseInteger(value, profile.feederFlags);
    } else if (key == "feeder-sheets") {
        return parseInteger(value, profile.feederSheets);
    } else if (key == "status-header") {
        return parseInteger(value, profile.statusHeader);
    } else if (key == "main-status") {
        return parseInteger(value, profile.mainStatus);
    } else if (key == "feeder-status") {
        return parseInteger(value, profile.feederStatus);
    } else if (key == "film-status") {
        return parseInteger(value, profile.filmStatus);
    } else if (key == "further-status") {
        return parseInteger(value, profile.furtherStatus);
    } else if (key == "product") {
        profile.productName = unquote(value);
    } else if (key == "warm-up-polls") {
        return parseInteger(value, profile.warmUpPolls);
    } else if (key == "focus-result") {
        return parseInteger(value, profile.focusResult);
    } else if (key == "focus-fails") {
        if (value != "yes" && value != "no") return false;
        profile.focusFails = value == "yes";
    } else if (key == "base-resolution") {
        return parseInteger(value, profile.baseResolution);
    } else if (key == "resolution-figures") {
        return parseArea(value, profile.firstResolutionFigure, profile.secondResolutionFigure);
    } else if (key == "system-code") {
        return parseInteger(value, profile.systemCode);
    } else if (key == "identity-status") {
        uint8_t status = 0;
        if (!parseInteger(value, status)) return false;
        profile.identityStatus = status;
    } else {
        return false;
    }
    return true;
}

}  // namespace

std::vector<std::string> builtInProfileNames() {
    std::vector<std::string> names;
    for (const DeviceProfile& profile : builtInProfiles()) {
        names.push_back(profile.name);
    }
    return names;
}

std::optional<DeviceProfile> builtInProfile(std::string_view name) {
    for (DeviceProfile& profile : builtInProfiles()) {
        if (profile.name == name) {
            return std::move(profile);
        }
    }
    return std::nullopt;
}

std::optional<DeviceProfile> parseProfile(std::string_view text, std::string& error) {
    DeviceProfile profile;
    for (int lineNumber = 1; !text.empty(); ++lineNumber) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (const std::size_t hash = line.find('#'); hash != std::string_view::npos && line.find('"') > hash) {
            line = line.substr(0, hash);
        }
        line = trim(line);
        if (line.empty()) {
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos ||
            !applySetting(profile, trim(line.substr(0, equals)), trim(line.substr(equals + 1)))) {
            error = "line " + std::to_string(lineNumber) + ": cannot use \"" + std::string(line) + "\"";
            return std::nullopt;
        }
    }
    if (profile.resolutions.empty()) {
        error = "no resolutions";
        return std::nullopt;
    }
    return profile;
}

std::optional<DeviceProfile> loadProfileFile(const std::string& path, std::string& error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "cannot read " + path;
        return std::nullopt;
    }
    const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    auto profile = parseProfile(text, error);
    if (!profile) {
        error = path + ": " + error;
    }
    return profile;
}

std::optional<DeviceProfile> resolveProfile(const std::string& nameOrPath, std::string& error) {
    if (auto profile = builtInProfile(nameOrPath)) {
        return profile;
    }
    return loadProfileFile(nameOrPath, error);
}

}  // namespace vexscan::sim
