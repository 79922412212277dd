#include "vexscan/device/code_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

#include "vexscan/comm/comm_port.h"
#include "vexscan/comm/driver_entry_points.h"
#include "vexscan/device/scanner_device.h"

namespace vexscan {
namespace {

// ---- gammaCodeFor ----

struct GammaCase {
    int16_t gammaTimes100;
    uint8_t code;
};

TEST(GammaCodeFor, MapsEveryTableValueAndFallsBackToRowOne) {
    const GammaCase cases[] = {
        {100, 0x01},
        {220, 0x02},
        {300, 0x00},
        {280, 0x10},
        {250, 0x20},
        // Not in the table: the code of row 1.
        {180, 0x02},
        {0, 0x02},
        {-100, 0x02},
        {INT16_MIN, 0x02},
        {INT16_MAX, 0x02},
        // The whole 16-bit value is compared, not its low byte (356 & 0xFF == 100).
        {356, 0x02},
    };
    for (const GammaCase& c : cases) {
        EXPECT_EQ(c.code, gammaCodeFor(c.gammaTimes100)) << "gamma " << c.gammaTimes100;
    }
}

// ---- halftoneCodeFor ----

TEST(HalftoneCodeFor, GivesTheCodeOfEveryRow) {
    const uint8_t codes[kHalftoneRowCount] = {0x01, 0x00, 0x10, 0x20, 0x80,
                                              0x90, 0xA0, 0xB0, 0x03, 0x00};
    for (int32_t row = 0; row < kHalftoneRowCount; ++row) {
        EXPECT_EQ(std::optional<uint8_t>(codes[row]), halftoneCodeFor(row)) << "row " << row;
    }
}

TEST(HalftoneCodeFor, GivesNothingForAnIndexOutsideTheTable) {
    for (const int32_t index : {-1, 10, 11, INT32_MIN, INT32_MAX}) {
        EXPECT_EQ(std::nullopt, halftoneCodeFor(index)) << "index " << index;
    }
}

// ---- countHalftones ----

struct HalftoneCountCase {
    std::array<char, 3> levelCode;
    int32_t count;
};

TEST(CountHalftones, CountsTheRowsTheLevelDigitSupports) {
    const HalftoneCountCase cases[] = {
        {{'B', '3', 0}, 4},
        {{'B', '4', 0}, 8},
        {{'B', '5', 0}, 9},
        {{'A', '5', 0}, 9},
        {{'B', '6', 0}, 10},
        {{'B', '7', 0}, 10},
        {{'B', '8', 0}, 10},
        {{'B', '1', 0}, 4},
        {{'B', '9', 0}, 10},
        // A digit below 1 supports no row.
        {{'B', '0', 0}, 0},
        // Non-digits count by their distance from '0'.
        {{'B', ' ', 0}, 0},
        {{'B', 0, 0}, 0},
        {{'B', 'Z', 0}, 10},
        // The digit is read as a signed character: a byte above 0x7F is a negative level.
        {{'B', static_cast<char>(0xB7), 0}, 0},
    };
    for (const HalftoneCountCase& c : cases) {
        ScanParamBlock block{};
        std::memcpy(block.levelCode, c.levelCode.data(), sizeof block.levelCode);
        EXPECT_EQ(c.count, countHalftones(block)) << "levelCode byte 1 = 0x" << std::hex
                                                  << (static_cast<unsigned>(c.levelCode[1]) & 0xFF);
    }
}

// ---- modelCodeFromName ----

// A driver whose every entry point succeeds and does nothing; the lookup never reaches it.
int32_t VEXSCAN_CALL stubInit(std::uintptr_t, const char*, const char*, int32_t, const char*) {
    return 0;
}
int32_t VEXSCAN_CALL stubNoArguments() { return 0; }
int32_t VEXSCAN_CALL stubClose(int32_t) { return 0; }
int32_t VEXSCAN_CALL stubRead(uint8_t*, uint32_t) { return 0; }
int32_t VEXSCAN_CALL stubWrite(const uint8_t*, uint32_t) { return 0; }

DriverEntryPoints stubDriver() {
    DriverEntryPoints entry;
    entry.DDInit = stubInit;
    entry.DDExit = stubNoArguments;
    entry.DDOpen = stubNoArguments;
    entry.DDClose = stubClose;
    entry.DDRead = stubRead;
    entry.DDWrite = stubWrite;
    entry.DDIsReady = stubNoArguments;
    entry.DDSave = stubNoArguments;
    entry.DDGetOpsys = stubNoArguments;
    return entry;
}

// A device that reports a given product name, as a real one does: 16 characters and a NUL.
class NamedDevice : public ScannerDevice {
public:
    using ScannerDevice::ScannerDevice;

    void reportName(const std::string& name, int32_t result = 1) {
        name_.fill('\0');
        std::memcpy(name_.data(), name.data(), std::min(name.size(), kProductNameLength));
        result_ = result;
    }

    int32_t GetScannerName(char* name) override {
        std::memcpy(name, name_.data(), name_.size());
        return result_;
    }

    int32_t EnableOption(int32_t) override { return 1; }
    void Close() override {}
    int32_t Open() override { return 1; }
    int32_t GetError() override { return 0; }
    int32_t Abort() override { return 0; }
    void InitAcquire(int32_t, ProgressCallback, InitAcquireResult*) override {}
    void AcquireImage(uint8_t*, uint32_t, AcquireImageResult*) override {}
    int32_t GetOptionStatus(int32_t) override { return 0; }
    int8_t SetFocus(int32_t, int32_t) override { return 0; }
    int32_t GetScanPaperSize(int32_t, int32_t*, int32_t*) override { return 0; }

private:
    std::array<char, kProductNameLength + 1> name_{};
    int32_t result_ = 1;
};

class ModelCodeFromName : public ::testing::Test {
protected:
    // What the caller left in modelCode: every byte must be accounted for afterwards.
    static constexpr char kCallersModelCode[8] = {'c', 'a', 'l', 'l', 'e', 'r', 'X', 'Y'};

    ModelCodeFromName() { std::memcpy(block.modelCode, kCallersModelCode, sizeof block.modelCode); }

    std::string modelCodeBytes() const {
        return std::string(block.modelCode, sizeof block.modelCode);
    }
    static std::string callersBytes() {
        return std::string(kCallersModelCode, sizeof kCallersModelCode);
    }

    CommPort port{stubDriver()};
    NamedDevice device{port};
    ScanParamBlock block{};
};

struct ModelCase {
    const char* productName;
    const char* modelCode;  // null: modelCode stays as the caller left it
};

TEST_F(ModelCodeFromName, CopiesTheCodeOfAnExactlyEqualNameAndKeepsItOtherwise) {
    const ModelCase cases[] = {
        {"FLATBED RX-410  ", "JUNIPER"},
        {"Quorlin880      ", "JUNIPER"},
        {"Ambrel Scan 3300", "TORVIK"},
        {"AmbrelScan3300  ", "TORVIK"},
        // All 16 characters count, trailing spaces included, and case matters.
        {"AmbrelScan3300", nullptr},
        {"AmbrelScan3300 ", nullptr},
        {"ambrelscan3300  ", nullptr},
        {"FLATBED RX-410 X", nullptr},
        {" Quorlin880     ", nullptr},
        {"", nullptr},
    };
    for (const ModelCase& c : cases) {
        SCOPED_TRACE(c.productName);
        std::memcpy(block.modelCode, kCallersModelCode, sizeof block.modelCode);
        device.reportName(c.productName);

        EXPECT_TRUE(modelCodeFromName(device, block.modelCode));

        if (c.modelCode == nullptr) {
            EXPECT_EQ(callersBytes(), modelCodeBytes());
        } else {
            // The code and its NUL are written; a byte after them is the caller's still.
            std::string expected = callersBytes();
            expected.replace(0, std::strlen(c.modelCode) + 1, c.modelCode,
                             std::strlen(c.modelCode) + 1);
            EXPECT_EQ(expected, modelCodeBytes());
        }
    }
}

TEST_F(ModelCodeFromName, FailsAndKeepsTheCallersCodeWhenTheNameCannotBeRead) {
    // Even a known name is ignored when the device says the read failed.
    device.reportName("AmbrelScan3300  ", 0);

    EXPECT_FALSE(modelCodeFromName(device, block.modelCode));
    EXPECT_EQ(callersBytes(), modelCodeBytes());
}

TEST(DefaultModelCode, IsFiveLettersAndTwoSpacesThatFitModelCode) {
    EXPECT_EQ(std::string("TALVO  "), kDefaultModelCode);
    EXPECT_LE(sizeof kDefaultModelCode, sizeof(ScanParamBlock::modelCode));
}

}  // namespace
}  // namespace vexscan
