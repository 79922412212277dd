// Batch file names: the page number goes where the pattern says, and nothing else of a printf
// format is taken.
#include "tools/vexscan-scan/batch_pattern.h"

#include <gtest/gtest.h>

namespace vexscan::tool {
namespace {

TEST(BatchPattern, PlacesThePageNumber) {
    struct Case {
        const char* pattern;
        uint32_t page;
        const char* name;
    };
    const Case cases[] = {
        {"page%d.png", 1, "page1.png"},
        {"page%d.png", 12, "page12.png"},
        {"scan%03d.pnm", 7, "scan007.pnm"},
        {"scan%03d.pnm", 1234, "scan1234.pnm"},
        {"p%4d.png", 3, "p   3.png"},
        {"100%%-%d.png", 2, "100%-2.png"},
        {"%d", 9, "9"},
        {"out/%d%%.ppm", 5, "out/5%.ppm"},
    };
    for (const Case& item : cases) {
        std::string error;
        const auto pattern = parseBatchPattern(item.pattern, error);
        ASSERT_TRUE(pattern) << item.pattern << ": " << error;
        EXPECT_EQ(pageFileName(*pattern, item.page), item.name) << item.pattern;
    }
}

TEST(BatchPattern, RefusesPatternsWithoutOneNumber) {
    struct Case {
        const char* pattern;
        const char* message;
    };
    const Case cases[] = {
        {"page.png", "needs a %d"},         {"100%%.png", "needs a %d"},
        {"p%d-%d.png", "more than one %d"}, {"p%s.png", "may hold only %d"},
        {"p%x.png", "may hold only %d"},    {"page%", "may hold only %d"},
        {"p%-5d.png", "may hold only %d"},  {"p%0123456789d", "may hold only %d"},
    };
    for (const Case& item : cases) {
        std::string error;
        EXPECT_FALSE(parseBatchPattern(item.pattern, error)) << item.pattern;
        EXPECT_NE(error.find(item.message), std::string::npos) << item.pattern << ": " << error;
    }
}

}  // namespace
}  // namespace vexscan::tool
