// Settings-file integers read with the rules of the Windows profile functions.
#include <gtest/gtest.h>

#include "tests/support/temporary_directory.h"
#include "vexscan/platform/platform.h"
#include "vexscan/platform/profile_reader.h"

namespace vexscan::platform {
namespace {

TEST(ProfileReader, FindsTheKeyOfTheSection) {
    const struct {
        const char* name;
        const char* text;
        int32_t expected;
    } cases[] = {
        {"plain", "[Debug]\nESCSupport=1\n", 1},
        {"case of section and key", "[DEBUG]\nescsupport=2\n", 2},
        {"blanks and CRLF", "  [ Debug ]  \r\n  ESCSupport  =   7  \r\n", 7},
        {"leading integer only", "[Debug]\nESCSupport=12abc\n", 12},
        {"negative", "[Debug]\nESCSupport=-3\n", -3},
        {"not a number", "[Debug]\nESCSupport=yes\n", 0},
        {"empty value", "[Debug]\nESCSupport=\n", -9},
        {"key in another section", "[Other]\nESCSupport=1\n[Debug]\nLevel=3\n", -9},
        {"missing section", "ESCSupport=1\n", -9},
        {"comment line", "[Debug]\n;ESCSupport=1\n", -9},
        {"first of two", "[Debug]\nESCSupport=4\nESCSupport=5\n", 4},
        {"empty file", "", -9},
        {"no final newline", "[Debug]\nESCSupport=1", 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(readProfileIntFromText(c.text, "Debug", "ESCSupport", -9), c.expected) << c.name;
    }
}

TEST(ProfileReader, ReadsAFileAndDefaultsWhenItIsMissing) {
    test::TemporaryDirectory directory;
    directory.writeFile("a.ini", "[Debug]\nESCSupport=1\n");
    EXPECT_EQ(readProfileInt("Debug", "ESCSupport", 0, (directory.path() / "a.ini").string().c_str()), 1);
    EXPECT_EQ(readProfileInt("Debug", "ESCSupport", 5, (directory.path() / "missing.ini").string().c_str()), 5);
}

}  // namespace
}  // namespace vexscan::platform
