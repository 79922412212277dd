// The scanner's side of the wire: takes the library's writes, answers through a queue of bytes
// that the library's reads drain, and records every call. Commands are looked up in a table that
// each command family's file fills, so a family grows by adding handlers, not by editing a switch.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <set>
#include <span>
#include <unordered_map>
#include <vector>

#include "sim/model/byte_log.h"
#include "sim/model/classic_state.h"
#include "sim/model/extended_state.h"
#include "sim/model/feeder_state.h"
#include "sim/model/profile.h"

namespace vexscan::sim {

inline constexpr uint8_t kEsc = 0x1B;
inline constexpr uint8_t kFs = 0x1C;
inline constexpr uint8_t kAck = 0x06;
inline constexpr uint8_t kNak = 0x15;
inline constexpr uint8_t kStx = 0x02;

// Appends the low 16 bits of `value`, low byte first, as every word on the wire goes.
inline void putWord(std::vector<uint8_t>& bytes, uint32_t value) {
    bytes.push_back(static_cast<uint8_t>(value & 0xFF));
    bytes.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
}

// A two-byte command (prefix and letter), or a control byte sent on its own (prefix 0).
constexpr uint16_t commandKey(uint8_t prefix, uint8_t letter) {
    return static_cast<uint16_t>(prefix << 8 | letter);
}
constexpr uint16_t controlKey(uint8_t control) { return commandKey(0, control); }

// Damage done to the reply of one command.
struct ReplyEdit {
    uint16_t command;
    std::optional<std::size_t> truncateTo;  // keep only this many bytes
    std::optional<std::size_t> corruptAt;   // replace the byte at this offset...
    uint8_t corruptValue = 0;               // ...with this value
};

// Faults the simulated device or driver shows on request.
struct FaultPlan {
    // Results of the next DDOpen calls, taken from the front (0 opens, 37 refuses the port,
    // anything else fails); once used up, every open succeeds.
    std::deque<int32_t> openResults;
    int32_t readyResult = 0;  // DDIsReady: 0 ready
    std::set<uint16_t> refusedCommands;  // answered with NAK, their handler never runs
    std::vector<ReplyEdit> replyEdits;
    std::optional<uint32_t> failReadCall;   // this DDRead (counted from 0) fails
    std::optional<uint32_t> failWriteCall;  // this DDWrite (counted from 0) fails
};

class DeviceModel;
using CommandHandler = std::function<void(DeviceModel&)>;
using ParameterHandler = std::function<void(DeviceModel&, std::span<const uint8_t>)>;

class CommandTable {
public:
    void add(uint16_t key, CommandHandler handler) { handlers_[key] = std::move(handler); }
    const CommandHandler* find(uint16_t key) const {
        const auto found = handlers_.find(key);
        return found == handlers_.end() ? nullptr : &found->second;
    }

private:
    std::unordered_map<uint16_t, CommandHandler> handlers_;
};

// The commands every simulated device understands: reset, identity, eject and feed.
void registerCommonCommands(CommandTable& table);
// The classic family's own replies: the extended status (ESC f) and the product name (ESC ?).
void registerClassicCommands(CommandTable& table);
// The extended family's identity (FS I), status (FS F), parameter block (FS W), downloads (ESC z,
// ESC m) and option switch (ESC e).
void registerExtendedCommands(CommandTable& table);
// Only its FS commands, which no classic command collides with.
void registerExtendedFsCommands(CommandTable& table);
// The classic scan set-up commands (ESC F to ESC A) and the focus commands (ESC p, ESC q).
void registerClassicSetupCommands(CommandTable& table);
// The classic scan itself: ESC d, ESC G and the answers to data blocks (ACK, CAN).
void registerClassicScanCommands(CommandTable& table);

class DeviceModel {
public:
    explicit DeviceModel(DeviceProfile profile);

    // The driver's entry points, result 0 for success as the real driver gives it.
    int32_t getOpsys();
    int32_t init(std::uintptr_t root, const char* location, const char* section, int32_t mode,
                 const char* product);
    int32_t exit();
    int32_t open();
    int32_t close(int32_t argument);
    int32_t isReady();
    int32_t write(const uint8_t* bytes, uint32_t count);
    int32_t read(uint8_t* bytes, uint32_t count);

    // For tests.
    void addCommand(uint16_t key, CommandHandler handler) { commands_.add(key, std::move(handler)); }
    DeviceProfile& profile() { return profile_; }
    const DeviceProfile& profile() const { return profile_; }
    FaultPlan& faults() { return faults_; }
    ByteLog& log() { return log_; }
    const ByteLog& log() const { return log_; }
    bool portOpen() const { return portOpen_; }
    std::size_t pendingReplyBytes() const { return output_.size(); }

    // For command handlers.
    void acknowledge();
    void refuse();
    void reply(std::span<const uint8_t> bytes);
    // STX, the status byte, the 16-bit count and the body.
    void replyWithHeader(uint8_t status, std::span<const uint8_t> body);
    // The next write is this command's parameter group.
    void expectParameters(ParameterHandler handler) { pendingParameters_ = std::move(handler); }
    // Each family's running state (programmed scan, warm-up countdown, ...), also read by tests.
    ClassicDeviceState& classic() { return classic_; }
    ExtendedDeviceState& extended() { return extended_; }
    FeederState& feeder() { return feeder_; }

private:
    void dispatch(std::span<const uint8_t> bytes);

    DeviceProfile profile_;
    CommandTable commands_;
    FaultPlan faults_;
    ByteLog log_;
    std::deque<uint8_t> output_;
    std::optional<ParameterHandler> pendingParameters_;
    ClassicDeviceState classic_;
    ExtendedDeviceState extended_;
    FeederState feeder_;
    uint16_t currentCommand_ = 0;
    bool portOpen_ = false;
    uint32_t readCalls_ = 0;
    uint32_t writeCalls_ = 0;
};

}  // namespace vexscan::sim
