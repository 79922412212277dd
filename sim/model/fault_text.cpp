#include "sim/model/fault_text.h"

#include <charconv>

namespace vexscan::sim {
namespace {

template <typename Integer>
bool parse(std::string_view text, Integer& value, int base = 10) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

}  // namespace

std::optional<FaultPlan> parseFaults(std::string_view text, std::string& error) {
    FaultPlan faults;
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        const std::string_view item = text.substr(0, comma);
        text.remove_prefix(comma == std::string_view::npos ? text.size() : comma + 1);

        const std::size_t equals = item.find('=');
        const std::string_view name = item.substr(0, equals);
        const std::string_view value = equals == std::string_view::npos ? std::string_view{} : item.substr(equals + 1);
        bool ok = true;
        if (name == "not-ready" && equals == std::string_view::npos) {
            faults.readyResult = 1;
        } else if (name == "open") {
            int32_t result = 0;
            ok = parse(value, result);
            faults.openResults.push_back(result);
        } else if (name == "refuse") {
            uint16_t key = 0;
            ok = parse(value, key, 16);
            faults.refusedCommands.insert(key);
        } else if (name == "fail-read") {
            uint32_t call = 0;
            ok = parse(value, call);
            faults.failReadCall = call;
        } else if (name == "fail-write") {
            uint32_t call = 0;
            ok = parse(value, call);
            faults.failWriteCall = call;
        } else if (!item.empty()) {
            ok = false;
        }
        if (!ok) {
            error = "cannot use fault \"" + std::string(item) + "\"";
            return std::nullopt;
        }
    }
    return faults;
}

}  // namespace vexscan::sim
