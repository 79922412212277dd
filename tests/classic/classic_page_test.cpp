// Whole pages from classic devices, with and without block mode, in every image type and both
// transfer layouts: every output pixel is checked against the test chart.
#include <gtest/gtest.h>

#include "tests/classic/chart_rows.h"
#include "tests/classic/classic_acquire_fixture.h"

namespace vexscan::test {
namespace {

struct PageCase {
    int32_t imageType;
    bool eightBit;
};

const PageCase kPageCases[] = {
    {0, false}, {1, false}, {2, false}, {2, true}, {3, false}, {4, false},
    {5, false}, {6, false}, {7, false}, {7, true}, {8, false}, {8, true},
};

// Image types whose rows keep their packing unpadded with layoutCode 1.
bool packedHalfBytes(int32_t imageType) { return imageType == 1 || imageType == 3; }

uint32_t expectedLineBytes(int32_t imageType, bool eightBit, uint32_t width, int32_t layoutCode) {
    uint32_t bytes = 0;
    switch (imageType) {
        case 0: bytes = (width + 7) / 8; break;
        case 1: case 3: bytes = (width + 1) / 2; break;
        case 2: case 4: bytes = width; break;
        case 5: bytes = width * 3; break;
        case 6: bytes = width * 2; break;
        case 7: bytes = width * (eightBit ? 3 : 6); break;
        case 8: bytes = width * (eightBit ? 1 : 2); break;
        default: break;
    }
    if (layoutCode == 1 && packedHalfBytes(imageType)) return bytes;
    return (bytes + 3) / 4 * 4;
}

class ClassicPageTest : public ClassicAcquireTest {
protected:
    void checkPage(const char* profile, const PageRequest& page) {
        openFor(profile);
        const ScannedPage scanned = scan(page);
        const std::string what = std::string(profile) + " type " +
                                 std::to_string(page.imageType) + (page.eightBit ? " 8-bit" : "") +
                                 " layout " + std::to_string(page.layoutCode);
        ASSERT_EQ(scanned.init.status, 1) << what;
        ASSERT_EQ(static_cast<uint32_t>(scanned.init.bytesPerLine),
                  expectedLineBytes(page.imageType, page.eightBit, page.width, page.layoutCode))
            << what;
        ASSERT_FALSE(scanned.calls.empty()) << what;
        EXPECT_EQ(scanned.calls.back().status, 1) << what << " error " << scanner->errorCode();
        EXPECT_EQ(scanned.calls.back().pageDone, 1) << what;
        ASSERT_EQ(scanned.rows.size(), page.height) << what;

        const uint8_t threshold = device->classic().scan.threshold.value_or(0);
        for (uint32_t line = 0; line < page.height; ++line) {
            const Bytes expected = expectedChartRow({page.imageType, page.eightBit,
                                                     page.layoutCode != 1, page.left,
                                                     page.top + line, page.width, threshold});
            const Bytes& row = scanned.rows[line];
            ASSERT_LE(expected.size(), row.size()) << what;
            ASSERT_TRUE(bytesEqual(expected, Bytes(row.begin(), row.begin() + static_cast<std::ptrdiff_t>(expected.size()))))
                << what << ", line " << line;
        }
    }
};

TEST_F(ClassicPageTest, EveryImageTypeInBlockMode) {
    for (const PageCase& c : kPageCases) {
        for (int32_t layoutCode : {1, 0}) {
            PageRequest page;
            page.imageType = c.imageType;
            page.eightBit = c.eightBit;
            page.layoutCode = layoutCode;
            checkPage("classic-b8", page);
        }
    }
}

TEST_F(ClassicPageTest, EveryImageTypeWithoutBlockMode) {
    for (const PageCase& c : kPageCases) {
        for (int32_t layoutCode : {1, 0}) {
            PageRequest page;
            page.imageType = c.imageType;
            page.eightBit = c.eightBit;
            page.layoutCode = layoutCode;
            page.width = 40;  // a whole number of line-art bytes as well as an odd one elsewhere
            checkPage("classic-b3", page);
        }
    }
}

TEST_F(ClassicPageTest, OddWidthsAndPlacements) {
    const PageRequest pages[] = {
        {2, 1, false, 0, 0, 1, 3, 2},      // a single pixel
        {1, 1, false, 5, 9, 101, 4, 1},    // an odd 4-bit line, unpadded
        {3, 0, false, 3, 0, 9, 5, 3},      // odd 8-colour line, padded
        {0, 3, false, 8, 2, 64, 6, 4},     // line art of whole bytes, top-down padded layout
        {6, 3, false, 1, 1, 33, 9, 2},
    };
    for (const PageRequest& page : pages) {
        checkPage("classic-b8", page);
    }
}

// Lines per block follow the output line: 2000 pixels of 24-bit colour make blocks of 10 lines.
TEST_F(ClassicPageTest, PagesOfSeveralBlocks) {
    PageRequest page;
    page.imageType = 5;
    page.width = 2000;
    page.height = 25;
    page.left = 0;
    page.top = 0;
    page.bufferLines = 4;
    checkPage("classic-b8", page);
    EXPECT_EQ(device->classic().linesPerBlock, uint8_t{10});
    EXPECT_EQ(device->classic().transfer.blocksSent, 3u);
    EXPECT_EQ(device->classic().transfer.acknowledged, 2u);  // the last block is not answered

    PageRequest wide = page;
    wide.imageType = 8;  // 16-bit grey kept to 8 bits: device lines twice the output line
    wide.eightBit = true;
    wide.width = 1500;
    checkPage("classic-b8", wide);
}

}  // namespace
}  // namespace vexscan::test
