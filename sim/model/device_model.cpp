#include "sim/model/device_model.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace vexscan::sim {
namespace {
constexpr int32_t kDriverFailure = 1;
}  // namespace

DeviceModel::DeviceModel(DeviceProfile profile) : profile_(std::move(profile)) {
    registerCommonCommands(commands_);
    if (profile_.family == Family::Classic) {
        // The FS commands go to classic devices too, so a classic profile made to answer the
        // probe as an extended device (identity status 0x02) opens as one; nothing of the
        // classic family begins with FS.
        registerExtendedFsCommands(commands_);
        registerClassicCommands(commands_);
    } else {
        registerExtendedCommands(commands_);
    }
    classic_.warmUpPollsLeft = profile_.warmUpPolls;
    extended_.warmUpPollsLeft = profile_.warmUpPolls;
    if (profile_.option == OptionKind::DocumentFeeder) {
        feeder_.sheetsLeft = profile_.feederSheets;
    }
}

int32_t DeviceModel::getOpsys() {
    log_.record({DriverCall::GetOpsys, profile_.systemCode, {}, {}});
    return profile_.systemCode;
}

int32_t DeviceModel::init(std::uintptr_t root, const char* location, const char* section, int32_t mode,
                          const char* product) {
    const auto text = [](const char* value) { return std::string(value != nullptr ? value : "(null)"); };
    char rootText[32];
    std::snprintf(rootText, sizeof rootText, "0x%llx", static_cast<unsigned long long>(root));
    log_.record({DriverCall::Init, 0, {},
                 std::string(rootText) + " \"" + text(location) + "\" \"" + text(section) + "\" " +
                     std::to_string(mode) + " \"" + text(product) + "\""});
    return 0;
}

int32_t DeviceModel::exit() {
    log_.record({DriverCall::Exit, 0, {}, {}});
    return 0;
}

int32_t DeviceModel::open() {
    int32_t result = 0;
    if (!faults_.openResults.empty()) {
        result = faults_.openResults.front();
        faults_.openResults.pop_front();
    }
    portOpen_ = result == 0;
    log_.record({DriverCall::Open, result, {}, {}});
    return result;
}

int32_t DeviceModel::close(int32_t argument) {
    portOpen_ = false;
    output_.clear();
    pendingParameters_.reset();
    log_.record({DriverCall::Close, 0, {}, "arg=" + std::to_string(argument)});
    return 0;
}

int32_t DeviceModel::isReady() {
    log_.record({DriverCall::IsReady, faults_.readyResult, {}, {}});
    return faults_.readyResult;
}

int32_t DeviceModel::write(const uint8_t* bytes, uint32_t count) {
    const uint32_t call = writeCalls_++;
    std::vector<uint8_t> written(bytes, bytes + count);
    const bool fails = !portOpen_ || (faults_.failWriteCall && *faults_.failWriteCall == call);
    log_.record({DriverCall::Write, fails ? kDriverFailure : 0, written, {}});
    if (fails) {
        return kDriverFailure;
    }
    dispatch(written);
    return 0;
}

int32_t DeviceModel::read(uint8_t* bytes, uint32_t count) {
    const uint32_t call = readCalls_++;
    // A short read hands over what the device had sent and reports failure, as a timed-out
    // read of the real driver does.
    const std::size_t available = std::min<std::size_t>(count, output_.size());
    std::copy_n(output_.begin(), available, bytes);
    output_.erase(output_.begin(), output_.begin() + static_cast<std::ptrdiff_t>(available));
    const bool fails = !portOpen_ || available != count || (faults_.failReadCall && *faults_.failReadCall == call);
    log_.record({DriverCall::Read, fails ? kDriverFailure : 0, std::vector<uint8_t>(bytes, bytes + available), {}});
    return fails ? kDriverFailure : 0;
}

void DeviceModel::dispatch(std::span<const uint8_t> bytes) {
    if (pendingParameters_) {
        ParameterHandler handler = std::move(*pendingParameters_);
        pendingParameters_.reset();
        handler(*this, bytes);
        return;
    }
    if (bytes.empty()) {
        return;
    }
    const bool prefixed = bytes[0] == kEsc || bytes[0] == kFs;
    if (prefixed && bytes.size() < 2) {
        refuse();
        return;
    }
    currentCommand_ = prefixed ? commandKey(bytes[0], bytes[1]) : controlKey(bytes[0]);
    const CommandHandler* handler = commands_.find(currentCommand_);
    if (handler == nullptr || faults_.refusedCommands.count(currentCommand_) != 0) {
        refuse();
        return;
    }
    (*handler)(*this);
}

void DeviceModel::acknowledge() { reply(std::span<const uint8_t>(&kAck, 1)); }

void DeviceModel::refuse() { output_.push_back(kNak); }

void DeviceModel::reply(std::span<const uint8_t> bytes) {
    std::vector<uint8_t> sent(bytes.begin(), bytes.end());
    for (const ReplyEdit& edit : faults_.replyEdits) {
        if (edit.command != currentCommand_) {
            continue;
        }
        if (edit.corruptAt && *edit.corruptAt < sent.size()) {
            sent[*edit.corruptAt] = edit.corruptValue;
        }
        if (edit.truncateTo && *edit.truncateTo < sent.size()) {
            sent.resize(*edit.truncateTo);
        }
    }
    output_.insert(output_.end(), sent.begin(), sent.end());
}

void DeviceModel::replyWithHeader(uint8_t status, std::span<const uint8_t> body) {
    std::vector<uint8_t> bytes{kStx, status, static_cast<uint8_t>(body.size() & 0xFF),
                               static_cast<uint8_t>((body.size() >> 8) & 0xFF)};
    bytes.insert(bytes.end(), body.begin(), body.end());
    reply(bytes);
}

}  // namespace vexscan::sim
