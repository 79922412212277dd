#include "kiva4cpl/calibration_pattern.h"

#include "kiva4cpl/win32_handles.h"

namespace kiva4cpl {

namespace {

constexpr int stripeHeight = 16;
constexpr int stripePairs = 4;

}  // namespace

void drawCalibrationPattern(HWND patternWindow, int grey, int drawCheckerboard) {
    RECT client{};
    GetClientRect(patternWindow, &client);
    const int height = client.bottom - client.top;
    WindowDc dc(patternWindow);
    if (dc.get() == nullptr) return;

    const COLORREF solid = RGB(grey, grey, grey);
    for (int i = 0; i < stripePairs && 2 * stripeHeight * i < height; ++i) {
        GdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, solid));
        GdiObject<HBRUSH> brush(CreateSolidBrush(solid));
        Selection penSelection(dc.get(), pen.get());
        Selection brushSelection(dc.get(), brush.get());
        SetROP2(dc.get(), R2_COPYPEN);
        const int top = stripeHeight + 2 * stripeHeight * i;
        Rectangle(dc.get(), client.left, top, client.right, top + stripeHeight);
    }

    if (drawCheckerboard != 1) return;
    for (int j = 0; j < stripePairs && 2 * stripeHeight * j < height; ++j) {
        const int top = 2 * stripeHeight * j;
        for (int row = top; row < top + stripeHeight; ++row) {
            for (int x = client.left; x < client.right; ++x) {
                const bool white = ((x - client.left) + (row - top)) % 2 == 0;
                SetPixel(dc.get(), x, row, white ? RGB(255, 255, 255) : RGB(0, 0, 0));
            }
        }
    }
}

}  // namespace kiva4cpl
