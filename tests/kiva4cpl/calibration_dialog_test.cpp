// The Screen Calibration dialog of kiva4cpl.dll, run through its exports and driven with window
// messages from inside its modal loop. The pattern is read back pixel by pixel from its control.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "kiva4cpl/calibration_math.h"
#include "kiva4cpl/resource_ids.h"
#include "windows_support.h"

namespace kiva4cpl::test {
namespace {

constexpr const char* calibrationKey = "SOFTWARE\\TALVO\\SCREENCAL";

std::string screenCalPath() {
    std::array<char, MAX_PATH> windows{};
    GetWindowsDirectoryA(windows.data(), MAX_PATH);
    return std::string(windows.data()) + "\\TWAIN\\CALIBRAT\\SCREEN.CAL";
}

struct DialogSearch {
    const char* title;
    HWND found;
};

BOOL CALLBACK matchDialog(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<DialogSearch*>(data);
    std::array<char, 32> className{};
    GetClassNameA(window, className.data(), static_cast<int>(className.size()));
    if (std::string(className.data()) == "#32770" && windowText(window) == search->title) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND findThreadDialog(const char* title) {
    DialogSearch search{title, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), matchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The open dialog as a test sees it.
class CalibrationWindow {
public:
    explicit CalibrationWindow(HWND dialog)
        : dialog(dialog),
          slider(GetDlgItem(dialog, IDC_GAMMA_SLIDER)),
          pattern(GetDlgItem(dialog, IDC_PATTERN)) {}

    int position() const { return GetScrollPos(slider, SB_CTL); }
    std::string label() const { return windowText(GetDlgItem(dialog, IDC_GAMMA_LABEL)); }
    void scroll(int code, int thumb = 0) const {
        SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(code, thumb), reinterpret_cast<LPARAM>(slider));
    }
    // Paints everything that waits to be painted.
    void paintNow() const {
        RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
    bool patternRepaintPending() const { return GetUpdateRect(pattern, nullptr, FALSE) != FALSE; }
    void command(WORD id) const { SendMessageA(dialog, WM_COMMAND, id, 0); }

    RECT patternArea() const {
        RECT area{};
        GetClientRect(pattern, &area);
        return area;
    }
    COLORREF pixel(int x, int y) const {
        HDC dc = GetDC(pattern);
        const COLORREF colour = GetPixel(dc, x, y);
        ReleaseDC(pattern, dc);
        return colour;
    }
    void setPixel(int x, int y, COLORREF colour) const {
        HDC dc = GetDC(pattern);
        SetPixel(dc, x, y, colour);
        ReleaseDC(pattern, dc);
    }

    HWND dialog;
    HWND slider;
    HWND pattern;
};

COLORREF grey(int level) { return RGB(level, level, level); }

// Rows below 128 hold four pairs of stripes; a taller control keeps its background below them.
int patternRows(const RECT& area) { return std::min<int>(area.bottom, 128); }

bool isCheckerboardRow(int row) { return row % 32 < 16; }

COLORREF checkerboardColour(int x, int row) {
    return (x + row) % 2 == 0 ? RGB(255, 255, 255) : RGB(0, 0, 0);
}

// Compares every pixel of the pattern with the stripes of the given grey level; reports the first
// difference.
testing::AssertionResult showsPattern(const CalibrationWindow& window, int level) {
    const RECT area = window.patternArea();
    const Pixels pixels = clientPixels(window.pattern);
    for (int row = 0; row < patternRows(area); ++row) {
        for (int x = 0; x < area.right; ++x) {
            const COLORREF want = isCheckerboardRow(row) ? checkerboardColour(x, row) : grey(level);
            const COLORREF got = pixels.at(x, row);
            if (got != want) {
                return testing::AssertionFailure() << "pixel (" << x << ", " << row << ") is "
                                                   << std::hex << got << ", expected " << want;
            }
        }
    }
    return testing::AssertionSuccess();
}

class CalibrationDialog : public testing::Test {
protected:
    using ScreenCalibrationFunction = int(WINAPI*)(HWND);
    using SetupSupportFunction = int(WINAPI*)(HWND, DWORD, DWORD, DWORD);

    static void SetUpTestSuite() { module = LoadLibraryA("kiva4cpl.dll"); }
    static void TearDownTestSuite() { FreeLibrary(module); }

    void SetUp() override {
        ASSERT_NE(module, nullptr);
        screenCalibration = procedure<ScreenCalibrationFunction>(module, "ScreenCalibration");
        ASSERT_NE(screenCalibration, nullptr);
        clean();
    }
    void TearDown() override { clean(); }
    static void clean() {
        deleteRegistryValue(calibrationKey, "GammaIndex");
        const std::string file = screenCalPath();
        DeleteFileA(file.c_str());
        // The folders go too when the test left them empty.
        const std::string calibrat = file.substr(0, file.find_last_of('\\'));
        RemoveDirectoryA(calibrat.c_str());
        RemoveDirectoryA(calibrat.substr(0, calibrat.find_last_of('\\')).c_str());
    }

    // Opens the dialog and runs the script inside its modal loop; the script must close it.
    int run(const std::function<void(CalibrationWindow&)>& script) {
        bool found = false;
        ModalScript modal([&] {
            HWND dialog = findThreadDialog("Screen Calibration");
            if (dialog == nullptr) return;
            found = true;
            // The modal loop shows the dialog once its queue runs dry; this script comes first.
            ShowWindow(dialog, SW_SHOWNORMAL);
            CalibrationWindow window(dialog);
            window.paintNow();
            script(window);
            // Whatever the script did, the dialog must end (a second EndDialog is harmless).
            window.command(IDCANCEL);
        });
        const int result = screenCalibration(nullptr);
        EXPECT_TRUE(found) << "the dialog did not open";
        return result;
    }

    static HMODULE module;
    ScreenCalibrationFunction screenCalibration = nullptr;
};
HMODULE CalibrationDialog::module = nullptr;

struct StoredCase {
    std::optional<DWORD> stored;
    int position;
    const char* label;
};

void PrintTo(const StoredCase& c, std::ostream* os) {
    *os << "stored " << (c.stored ? std::to_string(*c.stored) : "nothing");
}

class CalibrationDialogOpening : public CalibrationDialog,
                                 public testing::WithParamInterface<StoredCase> {};

TEST_P(CalibrationDialogOpening, StartsFromTheStoredGammaIndex) {
    if (GetParam().stored) setRegistryDword(calibrationKey, "GammaIndex", *GetParam().stored);
    const int result = run([&](CalibrationWindow& window) {
        int low = -1;
        int high = -1;
        GetScrollRange(window.slider, SB_CTL, &low, &high);
        EXPECT_EQ(low, 0);
        EXPECT_EQ(high, 20);
        EXPECT_EQ(window.position(), GetParam().position);
        EXPECT_EQ(window.label(), GetParam().label);
        EXPECT_TRUE(showsPattern(window, patternGreyLevels[GetParam().position]));
    });
    EXPECT_EQ(result, 1);
}

INSTANTIATE_TEST_SUITE_P(Registry, CalibrationDialogOpening,
                         testing::Values(StoredCase{std::nullopt, 0, "1.0"},
                                         StoredCase{7, 7, "1.7"}, StoredCase{13, 13, "2.3"},
                                         StoredCase{20, 20, "3.0"},
                                         // Out of range: the default, not a read past the
                                         // grey levels.
                                         StoredCase{21, 0, "1.0"},
                                         StoredCase{0xFFFFFFFF, 0, "1.0"}));

struct StuckCase {
    DWORD stored;
    int code;
};

void PrintTo(const StuckCase& c, std::ostream* os) {
    *os << "position " << c.stored << ", code " << c.code;
}

class CalibrationDialogAtAnEnd : public CalibrationDialog,
                                 public testing::WithParamInterface<StuckCase> {};

TEST_P(CalibrationDialogAtAnEnd, StepsPastTheEndChangeNothingAndDoNotRepaint) {
    setRegistryDword(calibrationKey, "GammaIndex", GetParam().stored);
    run([&](CalibrationWindow& window) {
        const std::string label = window.label();
        ASSERT_FALSE(window.patternRepaintPending());
        window.scroll(GetParam().code);
        EXPECT_EQ(window.position(), static_cast<int>(GetParam().stored));
        EXPECT_EQ(window.label(), label);
        EXPECT_FALSE(window.patternRepaintPending());
    });
}

INSTANTIATE_TEST_SUITE_P(Ends, CalibrationDialogAtAnEnd,
                         testing::Values(StuckCase{0, SB_LINELEFT}, StuckCase{0, SB_PAGELEFT},
                                         StuckCase{20, SB_LINERIGHT}, StuckCase{20, SB_PAGERIGHT}));

TEST_F(CalibrationDialog, LineAndPageStepsMoveByOneAndRepaint) {
    setRegistryDword(calibrationKey, "GammaIndex", 5);
    run([](CalibrationWindow& window) {
        const struct {
            int code;
            int position;
            const char* label;
        } steps[] = {{SB_LINERIGHT, 6, "1.6"},
                     {SB_PAGERIGHT, 7, "1.7"},
                     {SB_LINELEFT, 6, "1.6"},
                     {SB_PAGELEFT, 5, "1.5"},
                     {SB_ENDSCROLL, 5, "1.5"}};
        for (const auto& step : steps) {
            window.scroll(step.code);
            EXPECT_EQ(window.position(), step.position) << "code " << step.code;
            EXPECT_EQ(window.label(), step.label) << "code " << step.code;
            EXPECT_EQ(window.patternRepaintPending(), step.code != SB_ENDSCROLL);
            window.paintNow();
            EXPECT_TRUE(showsPattern(window, patternGreyLevels[step.position]));
        }
    });
}

TEST_F(CalibrationDialog, ThumbTrackRepaintsOnlyTheSolidStripes) {
    run([](CalibrationWindow& window) {
        ASSERT_TRUE(showsPattern(window, 81));
        // A mark in a checkerboard stripe shows whether the checkerboard gets drawn again.
        const COLORREF mark = RGB(255, 0, 0);
        window.setPixel(1, 0, mark);
        window.scroll(SB_THUMBTRACK, 17);
        EXPECT_EQ(window.position(), 17);
        EXPECT_EQ(window.label(), "2.7");
        EXPECT_TRUE(window.patternRepaintPending());
        window.paintNow();
        EXPECT_EQ(window.pixel(1, 0), mark) << "the checkerboard was drawn again";
        EXPECT_EQ(window.pixel(2, 0), checkerboardColour(2, 0));
        EXPECT_EQ(window.pixel(0, 16), grey(189));
        EXPECT_EQ(window.pixel(window.patternArea().right - 1, 63), grey(189));

        // A full repaint (the dialog uncovered, say) draws the checkerboard again.
        InvalidateRect(window.pattern, nullptr, FALSE);
        window.paintNow();
        EXPECT_TRUE(showsPattern(window, 189));
    });
}

TEST_F(CalibrationDialog, ThumbPositionsBeyondTheRangeStopAtTheEnds) {
    run([](CalibrationWindow& window) {
        window.scroll(SB_THUMBPOSITION, 30);
        EXPECT_EQ(window.position(), 20);
        EXPECT_EQ(window.label(), "3.0");
        window.scroll(SB_THUMBTRACK, 0xFFFF);
        EXPECT_EQ(window.position(), 0);
        EXPECT_EQ(window.label(), "1.0");
    });
}

TEST_F(CalibrationDialog, OkStoresThePositionAndWritesScreenCal) {
    setRegistryDword(calibrationKey, "GammaIndex", 3);
    const int result = run([](CalibrationWindow& window) {
        window.scroll(SB_THUMBTRACK, 10);
        window.command(IDOK);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(registryDword(calibrationKey, "GammaIndex"), 10u);
    const auto file = readFileBytes(screenCalPath());
    ASSERT_TRUE(file) << screenCalPath();
    ASSERT_EQ(file->size(), 835u);
    EXPECT_EQ((*file)[49 + 64], 128);
}

enum class Closing { cancelCommand, cancelButton, closeMessage, closeBox };

void PrintTo(Closing how, std::ostream* os) {
    const char* names[] = {"cancel command", "cancel button", "WM_CLOSE", "close box"};
    *os << names[static_cast<int>(how)];
}

class CalibrationDialogClosing : public CalibrationDialog,
                                 public testing::WithParamInterface<Closing> {};

TEST_P(CalibrationDialogClosing, WithoutOkWritesNothing) {
    setRegistryDword(calibrationKey, "GammaIndex", 3);
    bool closed = false;
    const int result = run([&](CalibrationWindow& window) {
        window.scroll(SB_THUMBTRACK, 15);
        switch (GetParam()) {
            case Closing::cancelCommand:
                window.command(IDCANCEL);
                break;
            case Closing::cancelButton:
                SendMessageA(GetDlgItem(window.dialog, IDCANCEL), BM_CLICK, 0, 0);
                break;
            case Closing::closeMessage:
                SendMessageA(window.dialog, WM_CLOSE, 0, 0);
                break;
            case Closing::closeBox:
                SendMessageA(window.dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
                break;
        }
        closed = !IsWindowVisible(window.dialog);
    });
    EXPECT_TRUE(closed);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(registryDword(calibrationKey, "GammaIndex"), 3u);
    EXPECT_FALSE(fileExists(screenCalPath()));
}

INSTANTIATE_TEST_SUITE_P(Ways, CalibrationDialogClosing,
                         testing::Values(Closing::cancelCommand, Closing::cancelButton,
                                         Closing::closeMessage, Closing::closeBox));

TEST_F(CalibrationDialog, ReopensWithTheCheckerboardWhenClosedBeforeARepaint) {
    run([](CalibrationWindow& window) {
        window.scroll(SB_THUMBTRACK, 5);
        window.command(IDCANCEL);  // before the pending repaint
    });
    run([](CalibrationWindow& window) { EXPECT_TRUE(showsPattern(window, 81)); });
}

TEST_F(CalibrationDialog, SetupSupportRunsTheSameDialog) {
    auto setupSupport = procedure<SetupSupportFunction>(module, "SetupSupport");
    ASSERT_NE(setupSupport, nullptr);
    bool found = false;
    ModalScript modal([&] {
        HWND dialog = findThreadDialog("Screen Calibration");
        found = dialog != nullptr;
        if (found) SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(setupSupport(nullptr, 1, 2, 3), 1);
    EXPECT_TRUE(found);
}

TEST_F(CalibrationDialog, KeepsAScreenshot) {
    setRegistryDword(calibrationKey, "GammaIndex", 10);
    run([](CalibrationWindow& window) {
        EXPECT_TRUE(saveScreenshot(window.dialog, "screen_calibration.png"));
        EXPECT_TRUE(showsPattern(window, 166));
    });
}

}  // namespace
}  // namespace kiva4cpl::test

// Before the first window of the process (see WineWithoutWindowManager).
static kiva4cpl::test::WineWithoutWindowManager windowSettings;
