#include "tools/vexscan-scan/options.h"

#include <charconv>
#include <cmath>
#include <span>
#include <string_view>

#include "sim/model/profile.h"

namespace vexscan::tool {
namespace {

constexpr int32_t kLargestResolution = 65535;
constexpr int32_t kLargestZoom = 1000;
constexpr double kLargestLength = 10000.0;  // millimetres; ten metres is no scanner's bed
constexpr std::string_view kDefaultBatchPattern = "page%d.png";

enum class Key {
    Help,
    ListDevices,
    Device,
    Mode,
    Resolution,
    OutputFile,
    Format,
    Left,
    Top,
    Width,
    Height,
    Source,
    Threshold,
    Mirror,
    Zoom,
    Progress,
    Batch
};

enum class Value { None, Required, Optional };

struct OptionEntry {
    Key key;
    std::string_view longName;  // empty: short form only
    char shortName;             // 0: long form only
    Value value;
};

constexpr OptionEntry kOptionTable[] = {
    {Key::Help, "help", 'h', Value::None},
    {Key::ListDevices, "list-devices", 'L', Value::None},
    {Key::Device, "device", 'd', Value::Required},
    {Key::Mode, "mode", 0, Value::Required},
    {Key::Resolution, "resolution", 0, Value::Required},
    {Key::OutputFile, "output-file", 'o', Value::Required},
    {Key::Format, "format", 0, Value::Required},
    {Key::Left, "", 'l', Value::Required},
    {Key::Top, "", 't', Value::Required},
    {Key::Width, "", 'x', Value::Required},
    {Key::Height, "", 'y', Value::Required},
    {Key::Source, "source", 0, Value::Required},
    {Key::Threshold, "threshold", 0, Value::Required},
    {Key::Mirror, "mirror", 0, Value::None},
    {Key::Zoom, "zoom", 0, Value::Required},
    {Key::Progress, "progress", 'p', Value::None},
    // Only "--batch=PATTERN" carries a pattern, so that "--batch" alone can stand before others.
    {Key::Batch, "batch", 0, Value::Optional},
};

const OptionEntry* findLong(std::string_view name) {
    for (const OptionEntry& entry : kOptionTable) {
        if (!entry.longName.empty() && entry.longName == name) return &entry;
    }
    return nullptr;
}

const OptionEntry* findShort(char name) {
    for (const OptionEntry& entry : kOptionTable) {
        if (entry.shortName != 0 && entry.shortName == name) return &entry;
    }
    return nullptr;
}

bool parseInteger(std::string_view text, int32_t lowest, int32_t highest, int32_t& value) {
    int32_t parsed = 0;
    const auto [end, fault] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (fault != std::errc() || end != text.data() + text.size() || parsed < lowest ||
        parsed > highest) {
        return false;
    }
    value = parsed;
    return true;
}

bool parseLength(std::string_view text, double& value) {
    double parsed = 0;
    const auto [end, fault] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (fault != std::errc() || end != text.data() + text.size() || !std::isfinite(parsed) ||
        parsed < 0 || parsed > kLargestLength) {
        return false;
    }
    value = parsed;
    return true;
}

std::string modeNames() {
    std::string names;
    for (const ScanMode& mode : scanModes()) {
        names += (names.empty() ? "" : ", ") + std::string(mode.name);
    }
    return names;
}

class Parser {
public:
    Parser(Options& options, std::string& error) : options_(options), error_(error) {}

    // `name` is the option as it was typed, for the messages.
    bool apply(const OptionEntry& entry, const std::string& name,
               const std::optional<std::string>& value) {
        const std::string text = value.value_or("");
        switch (entry.key) {
            case Key::Help:
                options_.help = true;
                return true;
            case Key::ListDevices:
                options_.listDevices = true;
                return true;
            case Key::Device:
                options_.device = text;
                return !text.empty() ||
                       fail(name + " needs a profile name, a profile file or \"driver\"");
            case Key::Mode: {
                const auto mode = findScanMode(text);
                if (!mode)
                    return fail("unknown mode \"" + text + "\"; the modes are " + modeNames());
                options_.mode = *mode;
                return true;
            }
            case Key::Resolution:
                return parseInteger(text, 1, kLargestResolution, options_.resolution) ||
                       fail(name + " takes dots per inch, a whole number from 1, not \"" + text +
                            "\"");
            case Key::OutputFile:
                options_.outputFile = text;
                return !text.empty() || fail(name + " needs a file name");
            case Key::Format: {
                const auto format = formatFromName(text);
                if (!format)
                    return fail("unknown format \"" + text + "\"; the formats are png and pnm");
                formatGiven_ = *format;
                return true;
            }
            case Key::Left:
            case Key::Top:
            case Key::Width:
            case Key::Height:
                return applyLength(entry.key, name, text);
            case Key::Source:
                return applySource(text);
            case Key::Threshold: {
                int32_t threshold = 0;
                if (!parseInteger(text, 0, 255, threshold)) {
                    return fail(name + " takes a level from 0 to 255, not \"" + text + "\"");
                }
                options_.threshold = static_cast<int16_t>(threshold);
                return true;
            }
            case Key::Mirror:
                options_.mirror = true;
                return true;
            case Key::Zoom:
                return parseInteger(text, 1, kLargestZoom, options_.zoom) ||
                       fail(name + " takes a percentage, a whole number from 1, not \"" + text +
                            "\"");
            case Key::Progress:
                options_.progress = true;
                return true;
            case Key::Batch: {
                const std::string pattern = value.value_or(std::string(kDefaultBatchPattern));
                options_.batch = parseBatchPattern(pattern, error_);
                batchText_ = pattern;
                return options_.batch.has_value();
            }
        }
        return false;
    }

    // What only the options together can tell: where the picture goes and in which format.
    bool finish() {
        if (options_.help || options_.listDevices) {
            return true;
        }
        if (options_.batch && !options_.outputFile.empty()) {
            return fail("give either -o FILE or --batch=PATTERN, not both");
        }
        if (!options_.batch && options_.outputFile.empty()) {
            return fail("no output file: give -o FILE (a .png or .pnm file) or --batch=PATTERN");
        }
        if (formatGiven_) {
            options_.format = *formatGiven_;
            return true;
        }
        if (options_.outputFile == "-") {
            return fail("writing to standard output needs --format png or --format pnm");
        }
        const std::string& name = options_.batch ? batchText_ : options_.outputFile;
        const auto format = formatFromFileName(name);
        if (!format) {
            return fail("cannot tell the format from \"" + name +
                        "\": name a .png or .pnm (.pbm, .pgm, .ppm) file, or give --format");
        }
        options_.format = *format;
        return true;
    }

    bool fail(const std::string& message) {
        error_ = message;
        return false;
    }

private:
    bool applyLength(Key key, const std::string& name, const std::string& text) {
        double length = 0;
        if (!parseLength(text, length)) {
            return fail(name + " takes millimetres, a number from 0, not \"" + text + "\"");
        }
        if ((key == Key::Width || key == Key::Height) && length <= 0) {
            return fail(name + " must be more than 0 mm");
        }
        std::optional<double>& target = key == Key::Left    ? options_.left
                                        : key == Key::Top   ? options_.top
                                        : key == Key::Width ? options_.width
                                                            : options_.height;
        target = length;
        return true;
    }

    bool applySource(const std::string& text) {
        if (text == "flatbed") {
            options_.source = ScanSource::Flatbed;
        } else if (text == "feeder" || text == "adf") {
            options_.source = ScanSource::Feeder;
        } else if (text == "film") {
            options_.source = ScanSource::Film;
        } else {
            return fail("unknown source \"" + text +
                        "\"; the sources are flatbed, feeder and film");
        }
        return true;
    }

    Options& options_;
    std::string& error_;
    std::optional<OutputFormat> formatGiven_;
    std::string batchText_;
};

}  // namespace

std::optional<Options> parseOptions(const std::vector<std::string>& arguments, std::string& error) {
    Options options;
    options.device = std::string(sim::kDefaultProfileName);
    Parser parser(options, error);
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const OptionEntry* entry = nullptr;
        std::string name;  // as typed
        std::optional<std::string> value;
        if (argument.rfind("--", 0) == 0 && argument.size() > 2) {
            const std::size_t equals = argument.find('=');
            name = argument.substr(0, equals);
            entry = findLong(std::string_view(name).substr(2));
            if (entry == nullptr) {
                parser.fail("unknown option " + name);
                return std::nullopt;
            }
            if (equals != std::string::npos) {
                if (entry->value == Value::None) {
                    parser.fail(name + " takes no value");
                    return std::nullopt;
                }
                value = argument.substr(equals + 1);
            }
        } else if (argument.size() >= 2 && argument[0] == '-' && argument[1] != '-') {
            name = argument.substr(0, 2);
            entry = findShort(argument[1]);
            if (entry == nullptr) {
                parser.fail("unknown option " + name);
                return std::nullopt;
            }
            if (argument.size() > 2) {
                if (entry->value == Value::None) {
                    parser.fail(name + " takes no value (in \"" + argument + "\")");
                    return std::nullopt;
                }
                value = argument.substr(2);
            }
        } else {
            parser.fail("unexpected argument \"" + argument +
                        "\" (an output file is given with -o, a batch pattern as --batch=PATTERN)");
            return std::nullopt;
        }
        if (entry->value == Value::Required && !value) {
            if (i + 1 >= arguments.size()) {
                parser.fail(name + " needs a value");
                return std::nullopt;
            }
            value = arguments[++i];
        }
        if (!parser.apply(*entry, name, value)) {
            return std::nullopt;
        }
    }
    if (!parser.finish()) {
        return std::nullopt;
    }
    return options;
}

std::string usage(const std::string& program) {
    std::string modes;
    for (const ScanMode& mode : scanModes()) {
        modes += "                          " + std::string(mode.name) +
                 std::string(10 - std::min<std::size_t>(mode.name.size(), 9), ' ') +
                 std::string(mode.description) + "\n";
    }
    return "Usage: " + program +
           " [options] -o FILE\n"
           "       " +
           program +
           " [options] --batch[=PATTERN]\n"
           "Scans a page through the vexscan library and writes it as PNG or PNM.\n"
           "\n"
           "  -o, --output-file FILE  the picture, .png or .pnm/.pbm/.pgm/.ppm (\"-\": standard\n"
           "                          output, with --format)\n"
           "  --format png|pnm        the file format (default: from the file name)\n"
           "  --batch[=PATTERN]       scan every sheet of the document feeder, one file a page\n"
           "                          numbered from 1 (default pattern: page%d.png)\n"
           "  --mode MODE             what to scan (default: color24):\n" +
           modes + "  --resolution DPI        dots per inch (default: " +
           std::to_string(kDefaultResolution) +
           ")\n"
           "  -l MM, -t MM            left and top edge of the scan area in millimetres (default "
           "0)\n"
           "  -x MM, -y MM            width and height of the scan area (default: to the edge\n"
           "                          of the area the scanner reports)\n"
           "  --source SOURCE         flatbed (default), feeder or film\n"
           "  --threshold LEVEL       line-art threshold, 0 to 255\n"
           "  --mirror                mirror the picture left to right\n"
           "  --zoom PERCENT          scale the picture (default 100; the scanner reports its "
           "range)\n"
           "  -p, --progress          show a progress bar on standard error\n"
           "  -L, --list-devices      list the simulated scanners\n"
           "  -d, --device NAME       a simulated scanner by profile name or profile file,\n"
           "                          or \"driver\" for the installed communication driver\n"
           "                          (default: " +
           std::string(sim::kDefaultProfileName) +
           ")\n"
           "  -h, --help              show this help\n";
}

}  // namespace vexscan::tool
