// Whole pages from the simulated extended device through the exported API, every output pixel
// checked against the test chart: each image type and depth, both channel orders, both line
// orders, mirrored and clipped areas, and pages cut short at the bottom of the bed.
#include "tests/extended/extended_acquire_fixture.h"
#include "tests/extended/extended_chart_rows.h"

namespace vexscan::test {
namespace {

struct PageCase {
    const char* name;
    PageRequest request;
};

PageRequest page(int32_t imageType, int32_t layoutCode, bool eightBit = false) {
    PageRequest request;
    request.imageType = imageType;
    request.layoutCode = layoutCode;
    request.eightBit = eightBit;
    return request;
}

template <typename Change>
PageRequest with(PageRequest request, Change change) {
    change(request);
    return request;
}

const PageCase kPages[] = {
    // 203 pixels: line art, 12-bit colour and the 12-bit types get 208 from the device.
    {"line art", with(page(0, 1), [](PageRequest& r) { r.height = 300; r.bufferLines = 64; })},
    {"line art inverted, threshold 90, bottom-up",
     with(page(0, 2), [](PageRequest& r) { r.invert = true; r.threshold = 90; })},
    {"line art mirrored", with(page(0, 1), [](PageRequest& r) { r.mirror = true; })},
    // Only 144 of 203 pixels left before the right edge: 59 filled.
    {"line art clipped at the right edge", with(page(0, 1), [](PageRequest& r) { r.left = 2400; })},
    // The right edge held at 206: 200 pixels from the device, the last 3 filled.
    {"line art mirrored at the left edge",
     with(page(0, 3), [](PageRequest& r) { r.mirror = true; r.left = 3; })},
    {"8-bit grey", with(page(2, 1), [](PageRequest& r) { r.height = 300; r.bufferLines = 7; })},
    {"8-bit grey through the grey map", page(2, 3, true)},
    {"8-bit grey clipped at the right edge, bottom-up",
     with(page(2, 0), [](PageRequest& r) { r.left = 2400; })},
    {"8-bit grey mirrored at the right edge moves left",
     with(page(2, 1), [](PageRequest& r) { r.mirror = true; r.left = 2400; })},
    {"24-bit colour in the device's order", with(page(5, 1), [](PageRequest& r) { r.height = 120; })},
    {"24-bit colour in the swapped order", with(page(5, 0), [](PageRequest& r) { r.height = 120; })},
    {"24-bit colour clipped at the right edge",
     with(page(5, 1), [](PageRequest& r) { r.left = 2400; })},
    {"24-bit colour mirrored", with(page(5, 2), [](PageRequest& r) { r.mirror = true; })},
    {"12-bit colour", with(page(6, 1), [](PageRequest& r) { r.height = 100; })},
    {"12-bit colour clipped, odd width",
     with(page(6, 2), [](PageRequest& r) { r.left = 2400; r.width = 161; })},
    // 1248 bytes a device line: 52 lines a block, six blocks.
    {"48-bit colour", with(page(7, 1), [](PageRequest& r) { r.height = 300; r.bufferLines = 33; })},
    {"48-bit colour swapped", page(7, 0)},
    {"48-bit colour kept to 8 bits", page(7, 1, true)},
    {"48-bit colour kept to 8 bits, swapped and mirrored",
     with(page(7, 2, true), [](PageRequest& r) { r.mirror = true; })},
    // Pixels the device lacks come at the end of a mirrored colour line too.
    {"48-bit colour mirrored at the left edge",
     with(page(7, 1), [](PageRequest& r) { r.mirror = true; r.left = 3; })},
    {"12-bit colour mirrored at the left edge",
     with(page(6, 1), [](PageRequest& r) { r.mirror = true; r.left = 3; })},
    {"16-bit grey", with(page(8, 1), [](PageRequest& r) { r.height = 300; })},
    {"16-bit grey kept to 8 bits", page(8, 1, true)},
    {"16-bit grey kept to 8 bits, clipped",
     with(page(8, 0, true), [](PageRequest& r) { r.left = 2400; })},
    {"16-bit grey mirrored at the left edge",
     with(page(8, 1), [](PageRequest& r) { r.mirror = true; r.left = 3; })},
    // The bed ends at line 3510: the device sends 20 of the 40 lines.
    {"8-bit grey cut at the bottom of the bed",
     with(page(2, 1), [](PageRequest& r) { r.top = 3490; })},
    {"line art inverted cut at the bottom of the bed",
     with(page(0, 0), [](PageRequest& r) { r.top = 3490; r.invert = true; })},
    {"16-bit grey kept to 8 bits cut at the bottom of the bed, in one call",
     with(page(8, 1, true), [](PageRequest& r) { r.top = 3500; r.bufferLines = 40; })},
    {"24-bit colour starting below the bed's last line",
     with(page(5, 1), [](PageRequest& r) { r.top = 3510; r.height = 12; })},
};

class ExtendedPageTest : public ExtendedAcquireTest {
public:
    void checkPage(const PageRequest& request) {
        openFor("extended-b7", request);
        const ScannedPage scanned = scan(request);
        ASSERT_EQ(scanned.init.status, 1);
        ASSERT_FALSE(scanned.calls.empty());
        EXPECT_EQ(scanned.calls.back().status, 1) << "error " << PMGetScanError();
        EXPECT_EQ(scanned.calls.back().pageDone, 1);
        ASSERT_EQ(scanned.rows.size(), request.height);

        ExpectedPage expected;
        expected.imageType = request.imageType;
        expected.eightBit = request.eightBit;
        expected.layoutCode = request.layoutCode;
        expected.invert = request.invert;
        expected.width = request.width;
        expected.device = device->extended().parameters;
        const uint32_t rowBytes = expectedRowBytes(expected);
        ASSERT_LE(rowBytes, static_cast<uint32_t>(scanned.init.bytesPerLine));
        ASSERT_EQ(scanned.init.bytesPerLine % 4, 0);

        for (uint32_t line = 0; line < request.height; ++line) {
            const Bytes& row = scanned.rows[line];
            const Bytes pixels(row.begin(), row.begin() + rowBytes);
            ASSERT_TRUE(bytesEqual(expectedRow(expected, line), pixels)) << "line " << line;
            // Nothing lands behind the scan width's pixels.
            for (std::size_t k = rowBytes; k < row.size(); ++k) {
                ASSERT_EQ(row[k], kUntouched) << "line " << line << " byte " << k;
            }
        }
    }
};

TEST_F(ExtendedPageTest, EveryPixelOfEveryImageTypeMatchesTheChart) {
    for (const PageCase& c : kPages) {
        SCOPED_TRACE(c.name);
        checkPage(c.request);
    }
}

}  // namespace
}  // namespace vexscan::test
