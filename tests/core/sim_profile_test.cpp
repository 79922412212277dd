// The simulated scanner's profiles: built-in names and the profile file format.
#include <gtest/gtest.h>

#include "sim/model/profile.h"

namespace vexscan::sim {
namespace {

TEST(SimProfile, BuiltInProfilesResolveByName) {
    for (const std::string& name : builtInProfileNames()) {
        std::string error;
        const auto profile = resolveProfile(name, error);
        ASSERT_TRUE(profile.has_value()) << name;
        EXPECT_EQ(profile->name, name);
        EXPECT_EQ(profile->productName.size(), 16u) << name;
        EXPECT_EQ(profile->levelCode.size(), 2u) << name;
    }
    EXPECT_TRUE(builtInProfile(kDefaultProfileName).has_value());
    EXPECT_EQ(builtInProfile(kDefaultProfileName)->family, Family::Extended);
    EXPECT_EQ(builtInProfile(kDefaultProfileName)->option, OptionKind::DocumentFeeder);
}

TEST(SimProfile, FileSettingsAreApplied) {
    std::string error;
    const auto profile = parseProfile(
        "# a test device\n"
        "name = bench\n"
        "family = classic\n"
        "level = B5\n"
        "resolutions = 200, 400,0x320\n"
        "bed = 6800 x 9360\n"
        "option = film\n"
        "option-area = 100x200\n"
        "product = \"Short Name      \"\n"
        "identity-status = 0x80\n"
        "system-code = 2\n",
        error);
    ASSERT_TRUE(profile.has_value()) << error;
    EXPECT_EQ(profile->family, Family::Classic);
    EXPECT_EQ(profile->levelCode, "B5");
    EXPECT_EQ(profile->resolutions, (std::vector<uint16_t>{200, 400, 800}));
    EXPECT_EQ(profile->bedWidth, 6800u);
    EXPECT_EQ(profile->bedHeight, 9360u);
    EXPECT_EQ(profile->option, OptionKind::FilmAdapter);
    EXPECT_EQ(profile->optionHeight, 200u);
    EXPECT_EQ(profile->productName, "Short Name      ");
    EXPECT_EQ(profile->effectiveIdentityStatus(), 0x80);
    EXPECT_EQ(profile->systemCode, 2);
}

TEST(SimProfile, ExtendedStatusBitsAreSettable) {
    std::string error;
    const auto profile = parseProfile(
        "family = classic\n"
        "status-header = 0x40\n"
        "main-status = 0x82\n"
        "feeder-status = 0x0C\n"
        "film-status = 2\n"
        "further-status = 0x02\n",
        error);
    ASSERT_TRUE(profile.has_value()) << error;
    EXPECT_EQ(profile->statusHeader, 0x40);
    EXPECT_EQ(profile->mainStatus, 0x82);
    EXPECT_EQ(profile->feederStatus, 0x0C);
    EXPECT_EQ(profile->filmStatus, 0x02);
    EXPECT_EQ(profile->furtherStatus, 0x02);
    EXPECT_FALSE(parseProfile("main-status = 0x100\n", error).has_value());
}

TEST(SimProfile, FaultyFilesAreRefusedWithTheLine) {
    const char* faulty[] = {"family = both\n", "level = B\n", "bed = 100\n", "resolutions = 300,x\n",
                            "colour = red\n",  "no equals sign\n", "resolutions = 70000\n"};
    for (const char* text : faulty) {
        std::string error;
        EXPECT_FALSE(parseProfile(text, error).has_value()) << text;
        EXPECT_NE(error.find("line 1"), std::string::npos) << error;
    }
}

}  // namespace
}  // namespace vexscan::sim
