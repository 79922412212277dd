// Opening a classic device: identification, option detection and the capability fields of the
// caller's block, against the simulated scanner in this process. Every test fills the whole block
// with a pattern first and compares all of it, so a stray write anywhere shows.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <functional>
#include <string>

#include "tests/support/patterned_block.h"
#include "tests/support/sim_fixture.h"
#include "tests/support/temporary_directory.h"
#include "vexscan/api/connection.h"
#include "vexscan/api/vexscan.h"
#include "vexscan/classic/classic_scanner.h"

namespace vexscan::test {
namespace {

const Bytes kReset{0x1B, 0x40};
const Bytes kIdentity{0x1B, 0x49};
const Bytes kStatus{0x1B, 0x66};
const Bytes kName{0x1B, 0x3F};

std::unique_ptr<CommPort> createSimulatedPort() { return simulatedPort(); }

void putWord(Bytes& bytes, uint32_t value) {
    bytes.push_back(static_cast<uint8_t>(value & 0xFF));
    bytes.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
}

// An identity body as the device lays it out: level, tagged resolutions, tagged flatbed area.
Bytes identityBody(const std::string& level, std::initializer_list<uint16_t> resolutions,
                   uint32_t width = 10200, uint32_t height = 14040) {
    Bytes body(level.begin(), level.end());
    for (uint16_t resolution : resolutions) {
        body.push_back('R');
        putWord(body, resolution);
    }
    body.push_back('A');
    putWord(body, width);
    putWord(body, height);
    return body;
}

// The extended status body: main status, feeder status and area, film status and area, further.
Bytes statusBody(uint8_t mainStatus, uint8_t feeder, uint32_t feederW, uint32_t feederH,
                 uint8_t film, uint32_t filmW, uint32_t filmH) {
    Bytes body{mainStatus, feeder};
    putWord(body, feederW);
    putWord(body, feederH);
    body.push_back(film);
    putWord(body, filmW);
    putWord(body, filmH);
    body.push_back(0);
    return body;
}

class ClassicOpenTest : public SimulatedScannerTest, public PatternedBlock {
public:
    explicit ClassicOpenTest(std::string profile = "classic-b8")
        : SimulatedScannerTest(std::move(profile)), windows_(windowsDirectory.path().string()) {}

    void SetUp() override {
        SimulatedScannerTest::SetUp();
        fillPattern();
    }

    void TearDown() override {
        closeScanner();
        ClassicScanner::setBufferAllocatorForTesting(nullptr);
        SimulatedScannerTest::TearDown();
    }

    // A fresh connection to a fresh device of `profile`, and a freshly patterned block.
    void restart(const std::string& profile) {
        closeScanner();
        ClassicScanner::setBufferAllocatorForTesting(nullptr);
        device = installSimulatedDevice(profile);
        device->log().clear();
        fillPattern();
    }

    int32_t open() { return openScanner(block(), &createSimulatedPort); }
    ClassicScanner* scanner() { return dynamic_cast<ClassicScanner*>(connection().device.get()); }

    // Serves `body` to the open's identity request, its header starting with `openMark`; the
    // probe before it gets the same body under a valid header.
    void replaceIdentity(Bytes body, uint8_t openMark = 0x02) {
        auto calls = std::make_shared<int>(0);
        device->addCommand(sim::commandKey(0x1B, 'I'),
                           [calls, body, openMark](sim::DeviceModel& d) {
                               const uint8_t mark = (*calls)++ == 0 ? uint8_t{0x02} : openMark;
                               Bytes reply{mark, 0, static_cast<uint8_t>(body.size() & 0xFF),
                                           static_cast<uint8_t>(body.size() >> 8)};
                               reply.insert(reply.end(), body.begin(), body.end());
                               d.reply(reply);
                           });
    }

    void expectIdentity(const char* level, int32_t levelIndex,
                        std::initializer_list<int32_t> resolutions) {
        expected.levelIndex = levelIndex;
        std::memcpy(expected.levelCode, level, 3);
        expectResolutions(resolutions);
    }
    void expectResolutions(std::initializer_list<int32_t> resolutions) {
        int32_t count = 0;
        for (int32_t resolution : resolutions) expected.resolutionList[count++] = resolution;
        expected.resolutionCount = count;
    }
    void expectCommon(int32_t halftones, int32_t features, int32_t bedW, int32_t bedH) {
        expected.useOption = 0;
        expected.halftoneCount = halftones;
        expected.bedWidth = bedW;
        expected.bedHeight = bedH;
        expected.zoomSupported = 1;
        expected.zoomMin = 50;
        expected.zoomMax = 200;
        expected.levelFeatureCount = features;
    }

protected:
    TemporaryDirectory windowsDirectory;

private:
    WindowsDirectoryOverride windows_;
};

TEST_F(ClassicOpenTest, FeederDeviceFillsEveryCapabilityField) {
    ASSERT_EQ(open(), 1);
    ASSERT_NE(scanner(), nullptr);
    expectIdentity("B8", 8, {300, 600, 1200});
    std::memcpy(expected.modelCode, "TORVIK", 7);  // the eighth byte stays the caller's
    expected.optionKind = 0;
    expected.sourceCount = 2;
    expectCommon(10, 6, 850, 1170);  // 10 200 x 14 040 pixels at 1200 dpi
    expected.optionWidth = 850;
    expected.optionHeight = 1400;
    expected.feederFlagA = 1;
    expected.feederFlagB = 1;
    EXPECT_TRUE(blockAsExpected());
    EXPECT_TRUE(bytesEqual(join({kIdentity, kReset, kIdentity, kStatus, kName}), written()));
    EXPECT_EQ(PMGetScanError(), 0);

    // A second open while open sends nothing and writes nothing.
    device->log().clear();
    blockMemory[0] = 0x55;
    EXPECT_EQ(scanner()->Open(), 1);
    EXPECT_TRUE(written().empty());
    EXPECT_EQ(blockMemory[0], 0x55);
}

struct OptionCase {
    const char* profile;
    std::function<void(sim::DeviceModel&)> adjust;
    bool statusAsked;
    int32_t optionKind;
    int32_t optionWidth, optionHeight;  // -1: the caller's value stays
    int flagA, flagB;                   // -1: the caller's value stays
};

TEST_F(ClassicOpenTest, OptionDetection) {
    const auto feederFlags = [](uint8_t flags) {
        return [flags](sim::DeviceModel& d) { d.profile().feederFlags = flags; };
    };
    const OptionCase cases[] = {
        {"classic-b3", nullptr, false, 2, -1, -1, -1, -1},
        {"classic-b4", nullptr, true, 1, 350, 450, -1, -1},
        {"classic-a5", nullptr, true, 0, 850, 1400, 1, 0},
        {"classic-b8", nullptr, true, 0, 850, 1400, 1, 1},
        {"classic-b8", feederFlags(0x10), true, 0, 850, 1400, 0, 0},
        {"classic-b8", feederFlags(0x00), true, 0, 850, 1400, 0, 0},
        {"classic-b8", [](sim::DeviceModel& d) { d.profile().option = sim::OptionKind::None; },
         true, 2, -1, -1, -1, -1},
        // Both attached bits: the feeder wins.
        {"classic-b8",
         [](sim::DeviceModel& d) {
             d.addCommand(sim::commandKey(0x1B, 'f'), [](sim::DeviceModel& m) {
                 m.replyWithHeader(0, statusBody(0x20, 0x80, 1200, 2400, 0x80, 600, 600));
             });
         },
         true, 0, 100, 200, 1, 0},
    };
    for (const OptionCase& c : cases) {
        SCOPED_TRACE(c.profile);
        restart(c.profile);
        if (c.adjust) c.adjust(*device);

        ASSERT_EQ(open(), 1);
        const int32_t kind = block()->optionKind;
        const int32_t sources = block()->sourceCount;
        EXPECT_EQ(kind, c.optionKind);
        EXPECT_EQ(sources, c.optionKind == 2 ? 1 : 2);
        if (c.optionWidth >= 0) {
            expected.optionWidth = c.optionWidth;
            expected.optionHeight = c.optionHeight;
        }
        if (c.flagA >= 0) {
            expected.feederFlagA = static_cast<uint8_t>(c.flagA);
            expected.feederFlagB = static_cast<uint8_t>(c.flagB);
        }
        EXPECT_EQ(+block()->optionWidth, +expected.optionWidth);
        EXPECT_EQ(+block()->optionHeight, +expected.optionHeight);
        EXPECT_EQ(+block()->feederFlagA, +expected.feederFlagA);
        EXPECT_EQ(+block()->feederFlagB, +expected.feederFlagB);
        const Bytes sent = written();
        EXPECT_TRUE(bytesEqual(c.statusAsked ? join({kIdentity, kReset, kIdentity, kStatus, kName})
                                             : join({kIdentity, kReset, kIdentity, kName}),
                               sent));
    }
}

TEST_F(ClassicOpenTest, FlatbedOnlyLevelIsNeverAskedForStatusAndKeepsOptionFields) {
    restart("classic-b3");
    ASSERT_EQ(open(), 1);
    expectIdentity("B3", 1, {150, 300, 600});
    expected.optionKind = 2;
    expected.sourceCount = 1;
    expectCommon(4, 4, 850, 1170);  // unknown product name: modelCode stays the caller's
    EXPECT_TRUE(blockAsExpected());
    EXPECT_TRUE(bytesEqual(join({kIdentity, kReset, kIdentity, kName}), written()));
}

struct LevelCase {
    const char* level;
    int32_t opened;
    int32_t levelIndex;  // -1: not written
    int32_t features;
};

TEST_F(ClassicOpenTest, LevelMappingAndRefusedLevels) {
    const LevelCase cases[] = {
        {"A5", 1, 4, 5},
        {"B3", 1, 1, 4},
        {"B4", 1, 2, 5},
        {"B5", 1, 3, 5},
        {"B6", 1, 6, 6},
        {"B7", 1, 7, 6},
        {"B8", 1, 8, 6},
        {"B9", 1, 6, 6},
        {"BZ", 1, 6, 6},
        // Unsupported after the digit test: levelIndex 0 is stored before the open fails.
        {"A4", 0, 0, 0},
        {"A6", 0, 0, 0},
        {"C5", 0, 0, 0},
        // The digit test comes first and writes no levelIndex.
        {"B2", 0, -1, 0},
        {"C2", 0, -1, 0},
        {"B0", 0, -1, 0},
        {"B\x80", 0, -1, 0},
    };
    for (const LevelCase& c : cases) {
        SCOPED_TRACE(c.level);
        restart("classic-b8");
        replaceIdentity(identityBody(c.level, {300, 600, 1200}));

        EXPECT_EQ(open(), c.opened);
        const int32_t levelIndex = block()->levelIndex;
        EXPECT_EQ(levelIndex, c.levelIndex >= 0 ? c.levelIndex : +expected.levelIndex);
        EXPECT_EQ(std::string(block()->levelCode, 3), std::string(c.level, 2) + '\0');
        const int32_t count = block()->resolutionCount;
        EXPECT_EQ(count, 3);
        if (c.opened == 1) {
            const int32_t features = block()->levelFeatureCount;
            EXPECT_EQ(features, c.features);
            EXPECT_EQ(PMGetScanError(), 0);
            continue;
        }
        EXPECT_EQ(PMGetScanError(), 10);
        // Nothing after the level is written and no status is asked for.
        expectIdentity(c.level, c.levelIndex >= 0 ? c.levelIndex : expected.levelIndex,
                       {300, 600, 1200});
        EXPECT_TRUE(blockAsExpected());
        EXPECT_TRUE(bytesEqual(join({kIdentity, kReset, kIdentity}), written()));
    }
}

struct LengthCase {
    const char* name;
    Bytes body;
    int32_t opened;
    std::initializer_list<int32_t> resolutions;
    int32_t bedWidth, bedHeight;
};

TEST_F(ClassicOpenTest, ResolutionCountFollowsTheIdentityLength) {
    Bytes sixteen = identityBody("B8", {300, 600, 1200});
    Bytes fifteen = identityBody("B8", {300, 1200});
    fifteen.push_back(0xEE);
    Bytes fourteen = identityBody("B8", {300, 1200});
    Bytes thirtyOne;
    {
        Bytes body{'B', '8'};
        for (int i = 1; i <= 31; ++i) {
            body.push_back('R');
            putWord(body, static_cast<uint32_t>(i * 100));
        }
        body.push_back('A');
        putWord(body, 31000);
        putWord(body, 62000);
        thirtyOne = body;  // exactly 100 bytes
    }
    const LengthCase cases[] = {
        {"16 bytes", sixteen, 1, {300, 600, 1200}, 850, 1170},
        {"15 bytes", fifteen, 1, {300, 1200}, 850, 1170},
        {"14 bytes", fourteen, 1, {300, 1200}, 850, 1170},
        {"10 bytes", identityBody("B8", {600}, 5100, 7020), 1, {600}, 850, 1170},
        {"100 bytes",
         thirtyOne,
         1,
         {100,  200,  300,  400,  500,  600,  700,  800,  900,  1000, 1100,
          1200, 1300, 1400, 1500, 1600, 1700, 1800, 1900, 2000, 2100, 2200,
          2300, 2400, 2500, 2600, 2700, 2800, 2900, 3000, 3100},
         1000,
         2000},
    };
    for (const LengthCase& c : cases) {
        SCOPED_TRACE(c.name);
        restart("classic-b8");
        replaceIdentity(c.body);
        ASSERT_EQ(open(), c.opened);
        expectResolutions(c.resolutions);
        EXPECT_EQ(+block()->resolutionCount, +expected.resolutionCount);
        for (int32_t i = 0; i < 32; ++i) {
            EXPECT_EQ(+block()->resolutionList[i], +expected.resolutionList[i]) << "entry " << i;
        }
        EXPECT_EQ(+block()->bedWidth, c.bedWidth);
        EXPECT_EQ(+block()->bedHeight, c.bedHeight);
    }
}

TEST_F(ClassicOpenTest, UnusableIdentityRepliesFailWithSevenBeforeAnyField) {
    Bytes tooLong = identityBody("B8", {300, 600, 1200});
    tooLong.resize(101, 0);
    const struct {
        const char* name;
        Bytes body;
    } cases[] = {
        {"no resolution (9 bytes)", Bytes{'B', '8', 'R', 0x2C, 0x01, 'A', 0x10, 0x27, 0x00}},
        {"level and area only (7 bytes)", Bytes{'B', '8', 'A', 0x10, 0x27, 0x10, 0x27}},
        {"two bytes", Bytes{'B', '8'}},
        {"empty", Bytes{}},
        {"largest resolution 0 dpi", identityBody("B8", {300, 0})},
        {"longer than the reply buffer", tooLong},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        restart("classic-b8");
        replaceIdentity(c.body);
        EXPECT_EQ(open(), 0);
        EXPECT_EQ(PMGetScanError(), 7);
        EXPECT_TRUE(blockAsExpected());
        // The whole reply was read: the next exchange starts on a clean stream.
        EXPECT_EQ(device->pendingReplyBytes(), 0u);
        char name[17] = {};
        EXPECT_EQ(PMGetScannerName(name), 1);
        EXPECT_STREQ(name, "AmbrelScan3300  ");
    }
}

TEST_F(ClassicOpenTest, OpenFailuresAndTheirErrorCodes) {
    const struct {
        const char* name;
        std::function<void(ClassicOpenTest&, sim::DeviceModel&)> fault;
        int32_t error;
        bool levelWritten;  // identification got as far as levelIndex
    } cases[] = {
        {"data buffer cannot be allocated",
         [](ClassicOpenTest&, sim::DeviceModel&) {
             ClassicScanner::setBufferAllocatorForTesting(
                 [](std::size_t) -> void* { return nullptr; });
         },
         8, false},
        {"driver refuses the port (37)",
         [](ClassicOpenTest&, sim::DeviceModel& d) {
             d.faults().openResults = {0, 37};
         },
         37, false},
        {"port open fails otherwise",
         [](ClassicOpenTest&, sim::DeviceModel& d) {
             d.faults().openResults = {0, 5};
         },
         22, false},
        {"identity reply without its mark",
         [](ClassicOpenTest& t, sim::DeviceModel&) {
             t.replaceIdentity(identityBody("B8", {300, 600, 1200}), 0x03);
         },
         7, false},
        {"extended status without its mark",
         [](ClassicOpenTest&, sim::DeviceModel& d) {
             d.faults().replyEdits = {{sim::commandKey(0x1B, 'f'), std::nullopt, 0, 0x00}};
         },
         7, true},
        {"extended status read fails",
         [](ClassicOpenTest&, sim::DeviceModel& d) {
             d.faults().replyEdits = {{sim::commandKey(0x1B, 'f'), 6, std::nullopt, 0}};
         },
         7, true},
        {"reset refused",
         [](ClassicOpenTest&, sim::DeviceModel& d) {
             d.faults().refusedCommands = {sim::commandKey(0x1B, '@')};
         },
         0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        restart("classic-b8");
        c.fault(*this, *device);
        EXPECT_EQ(open(), 0);
        ASSERT_NE(scanner(), nullptr);
        EXPECT_EQ(PMGetScanError(), c.error);
        if (c.levelWritten) {
            expectIdentity("B8", 8, {300, 600, 1200});
        }
        EXPECT_TRUE(blockAsExpected());
    }
}

TEST_F(ClassicOpenTest, ModelCodeFromTheProductName) {
    const struct {
        const char* name;
        std::function<void(sim::DeviceModel&)> adjust;
        const char* modelCode;  // null: the caller's bytes stay
        int32_t error;
    } cases[] = {
        {"known name", [](sim::DeviceModel& d) { d.profile().productName = "FLATBED RX-410  "; },
         "JUNIPER", 0},
        {"unknown name", [](sim::DeviceModel& d) { d.profile().productName = "Unknown Device  "; },
         nullptr, 0},
        {"name reply cut short",
         [](sim::DeviceModel& d) {
             d.faults().replyEdits = {{sim::commandKey(0x1B, '?'), 10, std::nullopt, 0}};
         },
         "TALVO  ", 0},
        {"name reply without its mark",
         [](sim::DeviceModel& d) {
             d.faults().replyEdits = {{sim::commandKey(0x1B, '?'), std::nullopt, 0, 0x15}};
         },
         "TALVO  ", 7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        restart("classic-b8");
        c.adjust(*device);
        ASSERT_EQ(open(), 1);
        if (c.modelCode != nullptr) {
            std::memcpy(expected.modelCode, c.modelCode, std::strlen(c.modelCode) + 1);
        }
        EXPECT_EQ(0,
                  std::memcmp(block()->modelCode, expected.modelCode, sizeof expected.modelCode));
        EXPECT_EQ(PMGetScanError(),
                  c.error);  // a bad name reply is reported, the open still succeeds
    }
}

TEST_F(ClassicOpenTest, ScannerNameCopiesWhatArrivedAndAtMostSixteen) {
    const struct {
        std::string product;
        const char* name;
    } cases[] = {
        {"AmbrelScan3300  ", "AmbrelScan3300  "},
        {"Seventeen chars!X", "Seventeen chars!"},
        {"AB", "AB"},
        {"", ""},
        {std::string("NUL\0inside", 10), "NUL"},
    };
    ASSERT_EQ(open(), 1);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.product);
        // The reply before this one leaves its bytes in replyBuffer; none may show in the name.
        device->profile().productName = "ZZZZZZZZZZZZZZZZZZZZ";
        char filler[17];
        ASSERT_EQ(PMGetScannerName(filler), 1);
        device->profile().productName = c.product;
        char name[20];
        std::memset(name, 'x', sizeof name);
        ASSERT_EQ(PMGetScannerName(name), 1);
        EXPECT_STREQ(name, c.name);
        EXPECT_EQ(name[17], 'x');  // nothing past the 17 bytes promised
    }
}

TEST_F(ClassicOpenTest, ScannerNameFailures) {
    ASSERT_EQ(open(), 1);
    char name[17] = "unchanged";
    device->faults().replyEdits = {{sim::commandKey(0x1B, '?'), 3, std::nullopt, 0}};
    EXPECT_EQ(PMGetScannerName(name), 0);
    EXPECT_EQ(PMGetScanError(), 0);  // a failed read alone changes no error code
    device->faults().replyEdits = {{sim::commandKey(0x1B, '?'), std::nullopt, 0, 0x06}};
    EXPECT_EQ(PMGetScannerName(name), 0);
    EXPECT_EQ(PMGetScanError(), 7);
    EXPECT_STREQ(name, "unchanged");
}

}  // namespace
}  // namespace vexscan::test
