#include "tests/tools/tool_runner.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace vexscan::tool::test {
namespace {

std::string quoted(const std::string& text) {
    std::string result = "'";
    for (const char c : text) {
        result += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return result + "'";
}

std::string readText(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::string areaText(uint32_t width, uint32_t height) {
    return std::to_string(width) + " x " + std::to_string(height);
}

}  // namespace

ToolRun runScanTool(const std::filesystem::path& directory,
                    const std::vector<std::string>& arguments,
                    const std::vector<std::string>& environment) {
    const std::filesystem::path output = directory / ".tool-stdout";
    const std::filesystem::path errors = directory / ".tool-stderr";
    std::string command = "cd " + quoted(directory.string()) + " && env";
    for (const std::string& setting : environment) {
        command += " " + quoted(setting);
    }
    command += " " + quoted(VEXSCAN_SCAN_TOOL);
    for (const std::string& argument : arguments) {
        command += " " + quoted(argument);
    }
    command += " >" + quoted(output.string()) + " 2>" + quoted(errors.string()) + " </dev/null";
    const int status = std::system(command.c_str());
    ToolRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.output = readText(output);
    run.errors = readText(errors);
    std::filesystem::remove(output);
    std::filesystem::remove(errors);
    return run;
}

std::string profileFileText(const sim::DeviceProfile& profile) {
    std::string text;
    const auto line = [&](const std::string& key, const std::string& value) {
        text += key + " = " + value + "\n";
    };
    line("name", profile.name);
    line("family", profile.family == sim::Family::Classic ? "classic" : "extended");
    line("level", profile.levelCode);
    std::string resolutions;
    for (const uint16_t resolution : profile.resolutions) {
        resolutions += (resolutions.empty() ? "" : ", ") + std::to_string(resolution);
    }
    line("resolutions", resolutions);
    line("bed", areaText(profile.bedWidth, profile.bedHeight));
    line("option", profile.option == sim::OptionKind::DocumentFeeder ? "feeder"
                   : profile.option == sim::OptionKind::FilmAdapter  ? "film"
                                                                     : "none");
    line("option-area", areaText(profile.optionWidth, profile.optionHeight));
    line("feeder-flags", std::to_string(profile.feederFlags));
    line("feeder-sheets", std::to_string(profile.feederSheets));
    line("product", "\"" + profile.productName + "\"");
    line("warm-up-polls", std::to_string(profile.warmUpPolls));
    line("base-resolution", std::to_string(profile.baseResolution));
    line("resolution-figures",
         areaText(profile.firstResolutionFigure, profile.secondResolutionFigure));
    return text;
}

}  // namespace vexscan::tool::test
