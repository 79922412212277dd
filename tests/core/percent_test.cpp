#include <gtest/gtest.h>

#include "vexscan/api/percent.h"

namespace vexscan {
namespace {

TEST(Percent, TruncatesTowardZero) {
    const struct {
        int32_t a, b, percentOf, scaleByPercent;
    } cases[] = {
        {-150, 100, -150, -150}, {-7, 10, -70, 0},   {7, 10, 70, 0},       {1, 3, 33, 0},
        {-1, 3, -33, 0},         {850, 1200, 70, 10200}, {2550, 50, 5100, 1275}, {0, 7, 0, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(percentOf(c.a, c.b), c.percentOf) << c.a << ", " << c.b;
        EXPECT_EQ(scaleByPercent(c.a, c.b), c.scaleByPercent) << c.a << ", " << c.b;
    }
}

TEST(Percent, ProductsAreFormedIn32Bits) {
    // 50 000 000 × 100 wraps in 32 bits before the division, as the device side computes it.
    EXPECT_EQ(percentOf(50000000, 1), static_cast<int32_t>(5000000000LL - 4294967296LL));
    EXPECT_EQ(scaleByPercent(65536, 65536), 0);
}

}  // namespace
}  // namespace vexscan
