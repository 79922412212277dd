#include "vexscan/convert/pixel_layout.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace vexscan {
namespace {

struct LayoutCase {
    std::int32_t imageType;
    bool eightBitOutput;
    PixelLayout layout;
};

TEST(PixelLayout, OutputPackingOfEachImageType) {
    const LayoutCase cases[] = {
        {0, false, {1, 1, 1, 8}}, {1, false, {4, 1, 1, 2}},  {2, false, {8, 1, 1, 1}},
        {2, true, {8, 1, 1, 1}},  {3, false, {1, 3, 1, 2}},  {4, false, {3, 3, 1, 1}},
        {5, false, {8, 3, 3, 1}}, {6, false, {4, 3, 2, 1}},  {7, false, {16, 3, 6, 1}},
        {7, true, {8, 3, 3, 1}},  {8, false, {16, 1, 2, 1}}, {8, true, {8, 1, 1, 1}},
    };
    for (const LayoutCase& c : cases) {
        const auto layout = pixelLayoutFor(c.imageType, c.eightBitOutput);
        ASSERT_TRUE(layout.has_value()) << "image type " << c.imageType;
        EXPECT_EQ(*layout, c.layout)
            << "image type " << c.imageType << ", eight-bit output " << c.eightBitOutput;
    }
}

TEST(PixelLayout, NoLayoutOutsideTheNineTypes) {
    for (const std::int32_t imageType : {-1, 9, 255, std::numeric_limits<std::int32_t>::min()}) {
        EXPECT_FALSE(pixelLayoutFor(imageType, false).has_value()) << imageType;
    }
}

TEST(PixelLayout, PackedBytesRoundsUpToWholeUnits) {
    EXPECT_EQ(packedBytes(*pixelLayoutFor(0, false), 5100), 638u);
    EXPECT_EQ(packedBytes(*pixelLayoutFor(1, false), 101), 51u);
    EXPECT_EQ(packedBytes(*pixelLayoutFor(3, false), 5), 3u);
    EXPECT_EQ(packedBytes(*pixelLayoutFor(7, false), 5100), 30600u);
    EXPECT_EQ(packedBytes(*pixelLayoutFor(0, false), 0), 0u);
    // No 32-bit width wraps the size.
    EXPECT_EQ(packedBytes(*pixelLayoutFor(7, false), std::numeric_limits<std::uint32_t>::max()),
              6ull * std::numeric_limits<std::uint32_t>::max());
}

}  // namespace
}  // namespace vexscan
