#include "kiva4cpl/page_rules.h"

#include <gtest/gtest.h>

#include <array>
#include <ostream>
#include <string>

#include "kiva4cpl/resource_ids.h"

namespace kiva4cpl {
namespace {

TEST(InterfaceLabel, NamesScsiAndUsbAndNothingElse) {
    EXPECT_EQ(interfaceLabelId(2), IDS_INTERFACE_SCSI);
    EXPECT_EQ(interfaceLabelId(4), IDS_INTERFACE_USB);
    for (std::uint32_t other : {0u, 1u, 3u, 6u, 8u, 16u, 0xFFFFFFFFu}) {
        EXPECT_EQ(interfaceLabelId(other), IDS_UNKNOWN) << other;
    }
}

struct OptionCase {
    std::uint8_t feederStatus;  // data byte 1
    std::uint8_t filmStatus;    // data byte 6
    int expected;
};

void PrintTo(const OptionCase& c, std::ostream* os) {
    *os << "feeder " << int(c.feederStatus) << ", film " << int(c.filmStatus);
}

class OptionLabelTest : public testing::TestWithParam<OptionCase> {};

TEST_P(OptionLabelTest, ReadsTheAttachedBitsOfFeederAndFilmAdapter) {
    std::array<std::uint8_t, statusBufferSize> status{};
    status[0] = 0x02;
    status[5] = GetParam().feederStatus;
    status[10] = GetParam().filmStatus;
    EXPECT_EQ(optionLabelId(status), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(StatusBytes, OptionLabelTest,
                         testing::Values(OptionCase{0x80, 0x00, IDS_OPTION_FEEDER},
                                         OptionCase{0x00, 0x80, IDS_OPTION_FILM_ADAPTER},
                                         OptionCase{0x80, 0x80, IDS_OPTION_FEEDER},
                                         OptionCase{0x00, 0x00, IDS_OPTION_NONE},
                                         // Only bit 0x80 means "attached".
                                         OptionCase{0x7F, 0x7F, IDS_OPTION_NONE},
                                         OptionCase{0x4E, 0xC2, IDS_OPTION_FILM_ADAPTER}));

TEST(OptionLabel, IgnoresTheOtherStatusBytes) {
    std::array<std::uint8_t, statusBufferSize> status{};
    status.fill(0x80);
    status[5] = 0;
    status[10] = 0;
    EXPECT_EQ(optionLabelId(status), IDS_OPTION_NONE);
}

TEST(StatusReply, AnnouncesItsDataLengthLittleEndian) {
    const std::array<std::uint8_t, 4> header = {0x02, 0x00, 0x34, 0x12};
    EXPECT_EQ(announcedDataLength(header), 0x1234);
}

TEST(StatusReply, KeepsAtMostSeventySixDataBytesAndDropsTheRest) {
    EXPECT_EQ(statusDataPlan(0).keep, 0u);
    EXPECT_EQ(statusDataPlan(12).keep, 12u);
    EXPECT_EQ(statusDataPlan(12).discard, 0u);
    EXPECT_EQ(statusDataPlan(76).keep, 76u);
    EXPECT_EQ(statusDataPlan(76).discard, 0u);
    EXPECT_EQ(statusDataPlan(77).keep, 76u);
    EXPECT_EQ(statusDataPlan(77).discard, 1u);
    EXPECT_EQ(statusDataPlan(65535).keep, 76u);
    EXPECT_EQ(statusDataPlan(65535).discard, 65535u - 76u);
}

struct DefaultCase {
    const char* description;
    std::uint32_t hardware;
    const char* rememberedName;
    std::uint32_t rememberedInterface;
    bool checked;
};

void PrintTo(const DefaultCase& c, std::ostream* os) {
    *os << '"' << c.description << "\"/" << c.hardware << " against \"" << c.rememberedName << "\"/"
        << c.rememberedInterface;
}

class DefaultScannerTest : public testing::TestWithParam<DefaultCase> {};

TEST_P(DefaultScannerTest, NeedsTheSameNameAndInterface) {
    const DefaultCase& c = GetParam();
    EXPECT_EQ(isDefaultScanner(c.description, c.hardware, c.rememberedName, c.rememberedInterface),
              c.checked);
}

INSTANTIATE_TEST_SUITE_P(Registry, DefaultScannerTest,
                         testing::Values(DefaultCase{"Orvani 4800", 4, "Orvani 4800", 4, true},
                                         DefaultCase{"Orvani 4800", 4, "Orvani 4800", 2, false},
                                         DefaultCase{"Orvani 4800", 4, "Orvani 4801", 4, false},
                                         DefaultCase{"Orvani 4800", 4, "orvani 4800", 4, false},
                                         DefaultCase{"Orvani 4800", 4, "Orvani 4800 ", 4, false},
                                         DefaultCase{"Orvani 4800", 1, "", 1, false},
                                         // Nothing chosen (empty name, interface 1) never marks a
                                         // scanner whose description is empty as the default.
                                         DefaultCase{"", 1, "", 1, false}));

TEST(DefaultScannerChoice, RemembersThisScannerWhenCheckedAndNoneWhenCleared) {
    const DefaultScannerChoice set = defaultScannerChoice(true, "Orvani 4800", 4);
    EXPECT_EQ(set.name, "Orvani 4800");
    EXPECT_EQ(set.interfaceType, 4u);
    const DefaultScannerChoice cleared = defaultScannerChoice(false, "Orvani 4800", 4);
    EXPECT_EQ(cleared.name, "");
    EXPECT_EQ(cleared.interfaceType, 1u);
}

TEST(ConvertDescription, ConvertsPlainText) {
    EXPECT_EQ(convertDescription(L"Orvani 4800 USB"), "Orvani 4800 USB");
    EXPECT_EQ(convertDescription(L""), "");
    EXPECT_EQ(convertDescription(nullptr), "");
}

TEST(ConvertDescription, StopsWhereTheEightyByteBufferWouldOverflow) {
    const std::wstring fits(79, L'x');
    EXPECT_EQ(convertDescription(fits.c_str()), std::string(79, 'x'));
    const std::wstring tooLong(200, L'y');
    EXPECT_EQ(convertDescription(tooLong.c_str()), std::string(79, 'y'));
}

TEST(ConvertDescription, StopsBeforeACharacterThatDoesNotConvert) {
    // U+263A has no form in the C locale's character set.
    EXPECT_EQ(convertDescription(L"Scan\u263Aner"), "Scan");
    EXPECT_EQ(convertDescription(L"\u263A"), "");
}

TEST(CopyTerminated, CutsToFitAndAlwaysTerminates) {
    std::array<char, 6> buffer;
    buffer.fill('#');
    EXPECT_TRUE(copyTerminated(buffer, "abc"));
    EXPECT_EQ(std::string(buffer.data()), "abc");
    EXPECT_TRUE(copyTerminated(buffer, "abcde"));
    EXPECT_EQ(std::string(buffer.data()), "abcde");
    EXPECT_FALSE(copyTerminated(buffer, "abcdef"));
    EXPECT_EQ(std::string(buffer.data()), "abcde");
    EXPECT_EQ(buffer[5], '\0');
}

TEST(TerminatedText, StopsAtTheFirstZeroOrTheBufferEnd) {
    const std::array<char, 4> terminated = {'a', '\0', 'b', 'c'};
    EXPECT_EQ(terminatedText(terminated), "a");
    const std::array<char, 3> unterminated = {'x', 'y', 'z'};
    EXPECT_EQ(terminatedText(unterminated), "xyz");
}

}  // namespace
}  // namespace kiva4cpl
