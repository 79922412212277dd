// Opening an extended device: identity, command level, option detection and the capability fields
// of the caller's block; the product name; close and reopen.
#include <functional>

#include "tests/extended/extended_fixture.h"
#include "vexscan/device/code_tables.h"

namespace vexscan::test {
namespace {

class ExtendedOpenTest : public ExtendedTest {
public:
    sim::DeviceModel& model() { return *device; }
};

TEST_F(ExtendedOpenTest, FeederDeviceFillsEveryCapabilityField) {
    ASSERT_EQ(open(), 1);
    ASSERT_NE(scanner(), nullptr);
    // Base 1200 dpi, figures 150 and 2400; 10 200 x 14 040 bed, 10 200 x 16 800 feeder.
    expected.levelIndex = 7;
    std::memcpy(expected.levelCode, "B7", 3);
    expected.resolutionCount = 3;
    expected.resolutionList[0] = 300;
    expected.resolutionList[1] = 1200;
    expected.resolutionList[2] = 1200;
    std::memcpy(expected.modelCode, "TORVIK", 7);
    expected.optionKind = 0;
    expected.feederFlagA = 1;
    expected.feederFlagB = 1;
    expected.useOption = 0;
    expected.halftoneCount = countHalftones(*block());
    expected.sourceCount = 2;
    expected.bedWidth = 850;
    expected.bedHeight = 1170;
    expected.optionWidth = 850;
    expected.optionHeight = 1400;
    expected.zoomSupported = 1;
    expected.zoomMin = 50;
    expected.zoomMax = 200;
    expected.levelFeatureCount = 6;
    EXPECT_TRUE(blockAsExpected());
    EXPECT_TRUE(bytesEqual(join({kProbeIdentity, kReset, kIdentity, kStatus}), written()));
    EXPECT_EQ(PMGetScanError(), 0);

    // A second open while open sends nothing and writes nothing.
    device->log().clear();
    blockMemory[0] = 0x55;
    EXPECT_EQ(scanner()->Open(), 1);
    EXPECT_TRUE(written().empty());
    EXPECT_EQ(blockMemory[0], 0x55);
}

TEST_F(ExtendedOpenTest, CapabilityFiguresFromTheIdentityReply) {
    IdentityFields fields;
    fields.base = 600;
    fields.first = 50;
    fields.second = 2400;
    fields.bedW = 5100;
    fields.bedH = 7020;
    // Figures beyond 16 bits keep their low 16 bits only.
    IdentityFields wide = fields;
    wide.first = 0x10000 + 50;
    wide.second = 0x10000 + 2400;
    for (const IdentityFields& f : {fields, wide}) {
        restart("extended-b8");
        replaceIdentity(identityReply(f));
        ASSERT_EQ(open(), 1);
        EXPECT_EQ(+block()->resolutionCount, 3);
        EXPECT_EQ(+block()->resolutionList[0], 100);
        EXPECT_EQ(+block()->resolutionList[1], 600);
        EXPECT_EQ(+block()->resolutionList[2], 1200);
        EXPECT_EQ(+block()->bedWidth, 850);
        EXPECT_EQ(+block()->bedHeight, 1170);
    }
}

TEST_F(ExtendedOpenTest, LevelTableAndRefusedLevels) {
    const struct {
        const char* level;
        int32_t levelIndex;  // 0: refused with error 10
        int32_t features;
        bool statusAsked;
    } cases[] = {
        {"B3", 1, 4, false}, {"B4", 2, 5, true}, {"B5", 3, 5, true}, {"B6", 6, 6, true},
        {"B7", 7, 6, true},  {"B8", 8, 6, true}, {"A5", 0, 0, false}, {"B9", 0, 0, false},
        {"B2", 0, 0, false}, {"C5", 0, 0, false}, {"b5", 0, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.level);
        restart("extended-b7");
        IdentityFields fields;
        fields.level = c.level;
        replaceIdentity(identityReply(fields));

        EXPECT_EQ(open(), c.levelIndex != 0 ? 1 : 0);
        EXPECT_EQ(+block()->levelIndex, c.levelIndex);
        EXPECT_EQ(std::string(block()->levelCode, 3), std::string(c.level, 2) + '\0');
        if (c.levelIndex == 0) {
            EXPECT_EQ(PMGetScanError(), 10);
            // Nothing after the level is written and no status is asked for.
            EXPECT_EQ(+block()->levelFeatureCount, +expected.levelFeatureCount);
            EXPECT_EQ(+block()->bedWidth, +expected.bedWidth);
            EXPECT_TRUE(bytesEqual(join({kProbeIdentity, kReset, kIdentity}), written()));
            continue;
        }
        EXPECT_EQ(+block()->levelFeatureCount, c.features);
        EXPECT_EQ(PMGetScanError(), 0);
        EXPECT_TRUE(bytesEqual(c.statusAsked ? join({kProbeIdentity, kReset, kIdentity, kStatus})
                                             : join({kProbeIdentity, kReset, kIdentity}),
                               written()));
        if (!c.statusAsked) {
            EXPECT_EQ(+block()->optionKind, 2);
            EXPECT_EQ(+block()->sourceCount, 1);
        }
    }
}

TEST_F(ExtendedOpenTest, OptionDetectionAndFeederFlags) {
    const struct {
        const char* name;
        uint8_t feederFlags;
        Bytes status;
        int32_t optionKind;
        int32_t optionWidth, optionHeight;  // -1: the caller's value stays
        int flagA, flagB;                   // -1: the caller's value stays
    } cases[] = {
        {"feeder, flags 0x30", 0x30, statusReply(0, 0x80, 0, 0), 0, 850, 1400, 1, 1},
        {"feeder, flag 0x10 alone", 0x10, statusReply(0, 0x80, 0, 0), 0, 850, 1400, 0, 0},
        {"feeder, flag 0x20 alone", 0x20, statusReply(0, 0x80, 0, 0), 0, 850, 1400, 1, 0},
        {"film adapter", 0x30, statusReply(0, 0, 0x80, 0), 1, 350, 450, -1, -1},
        {"both: the feeder wins", 0x00, statusReply(0, 0x80, 0x80, 0), 0, 850, 1400, 0, 0},
        {"none", 0x30, statusReply(0, 0x7F, 0x7F, 0), 2, -1, -1, -1, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        restart("extended-b7");
        IdentityFields fields;  // base 600: feeder 5100 x 8400, film 2100 x 2700
        fields.feederFlags = c.feederFlags;
        replaceIdentity(identityReply(fields));
        replaceStatus(c.status);

        ASSERT_EQ(open(), 1);
        EXPECT_EQ(+block()->optionKind, c.optionKind);
        EXPECT_EQ(+block()->sourceCount, c.optionKind == 2 ? 1 : 2);
        EXPECT_EQ(+block()->optionWidth, c.optionWidth >= 0 ? c.optionWidth : +expected.optionWidth);
        EXPECT_EQ(+block()->optionHeight,
                  c.optionHeight >= 0 ? c.optionHeight : +expected.optionHeight);
        EXPECT_EQ(+block()->feederFlagA, c.flagA >= 0 ? c.flagA : +expected.feederFlagA);
        EXPECT_EQ(+block()->feederFlagB, c.flagB >= 0 ? c.flagB : +expected.feederFlagB);
    }
}

TEST_F(ExtendedOpenTest, BuiltInProfilesOpenWithTheirOption) {
    const struct {
        const char* profile;
        int32_t optionKind;
    } cases[] = {{"extended-b3", 2}, {"extended-b6", 1}, {"extended-b7", 0}, {"extended-b8", 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.profile);
        restart(c.profile);
        ASSERT_EQ(open(), 1);
        ASSERT_NE(scanner(), nullptr);
        EXPECT_EQ(+block()->optionKind, c.optionKind);
    }
}

TEST_F(ExtendedOpenTest, OpenFailuresAndTheirErrorCodes) {
    const struct {
        const char* name;
        std::function<void(ExtendedOpenTest&)> fault;
        int32_t opened;
        int32_t error;  // -1: not changed
    } cases[] = {
        {"data buffer cannot be allocated",
         [](ExtendedOpenTest&) {
             ExtendedScanner::setBufferAllocatorForTesting([](std::size_t) -> void* { return nullptr; });
         },
         0, 8},
        {"reset refused",
         [](ExtendedOpenTest& t) { t.model().faults().refusedCommands = {sim::commandKey(0x1B, '@')}; },
         0, -1},
        {"identity reply short",
         [](ExtendedOpenTest& t) { t.replaceIdentity(Bytes(79, 0)); }, 0, -1},
        {"status request unanswered",
         [](ExtendedOpenTest& t) { t.replaceStatus(Bytes(15, 0)); }, 0, 7},
        {"base resolution 0",
         [](ExtendedOpenTest& t) {
             IdentityFields f;
             f.base = 0;
             t.replaceIdentity(identityReply(f));
         },
         0, 7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        restart("extended-b7");
        ExtendedScanner::setBufferAllocatorForTesting(nullptr);
        c.fault(*this);
        EXPECT_EQ(open(), c.opened);
        EXPECT_EQ(PMGetScanError(), c.error >= 0 ? c.error : 0);
        if (std::string(c.name) == "base resolution 0") {
            // Refused before any capability field is written.
            EXPECT_TRUE(blockAsExpected());
        }
    }
    ExtendedScanner::setBufferAllocatorForTesting(nullptr);
}

TEST_F(ExtendedOpenTest, PortRefusedGives37) {
    device->faults().openResults = {0, 37};  // the probe opens, the device object does not
    EXPECT_EQ(open(), 0);
    EXPECT_EQ(PMGetScanError(), 37);
    EXPECT_TRUE(bytesEqual(kProbeIdentity, written()));
}

TEST_F(ExtendedOpenTest, ScannerNameFromTheStoredReply) {
    const struct {
        const char* stored;
        const char* expectedName;
    } cases[] = {
        {"Ambrel Scan 3300", "Ambrel Scan 3300"},  // no NUL of its own: all 16 and a NUL
        {"Short", "Short"},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        restart("extended-b7");
        IdentityFields fields;
        fields.name = c.stored;
        replaceIdentity(identityReply(fields));
        ASSERT_EQ(open(), 1);
        char name[20];
        std::memset(name, 'x', sizeof name);
        device->log().clear();
        EXPECT_EQ(PMGetScannerName(name), 1);
        EXPECT_STREQ(name, c.expectedName);
        EXPECT_EQ(name[17], 'x');  // nothing past the terminator
        EXPECT_TRUE(written().empty());
    }
}

TEST_F(ExtendedOpenTest, UnknownProductNameLeavesModelCode) {
    IdentityFields fields;
    fields.name = "Nobody Knows Me ";
    replaceIdentity(identityReply(fields));
    ASSERT_EQ(open(), 1);
    EXPECT_EQ(std::memcmp(block()->modelCode, expected.modelCode, 8), 0);
}

TEST_F(ExtendedOpenTest, CloseSendsNothingAndReopenIdentifiesAgain) {
    ASSERT_EQ(open(), 1);
    ExtendedScanner* object = scanner();
    device->log().clear();
    object->Close();
    EXPECT_TRUE(written().empty());
    EXPECT_FALSE(device->portOpen());
    device->log().clear();
    object->Close();  // closed already: nothing at all
    EXPECT_TRUE(device->log().entries().empty());

    device->log().clear();
    ASSERT_EQ(object->Open(), 1);
    EXPECT_TRUE(device->portOpen());
    EXPECT_TRUE(bytesEqual(join({kReset, kIdentity, kStatus}), written()));
}

}  // namespace
}  // namespace vexscan::test
