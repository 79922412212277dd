// vexscan.dll as the package's callers use it: loaded with LoadLibraryA, every export resolved
// with GetProcAddress, driving the simulated QUAYLINK.DLL that it loads by name.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "vexscan/api/vexscan.h"

namespace {

struct Library {
    HMODULE module = LoadLibraryA("vexscan.dll");
    ~Library() {
        if (module != nullptr) FreeLibrary(module);
    }
    template <typename Function>
    Function get(const char* name) const {
        return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    }
};

std::vector<std::string> readLines(const std::string& path) {
    std::ifstream file(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    return lines;
}

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        char folder[MAX_PATH];
        ASSERT_NE(GetTempPathA(sizeof folder, folder), 0u);
        logPath = std::string(folder) + "vexscan-e2e-" + std::to_string(GetCurrentProcessId()) + ".log";
        DeleteFileA(logPath.c_str());
        _putenv(("VEXSCAN_SIM_LOG=" + logPath).c_str());
        _putenv("VEXSCAN_SIM_PROFILE=classic-b8");
        _putenv("VEXSCAN_SIM_FAULTS=");
        ASSERT_NE(library.module, nullptr);
    }
    void TearDown() override { DeleteFileA(logPath.c_str()); }

    Library library;
    std::string logPath;
    alignas(8) uint8_t block[1776] = {};
};

TEST_F(EndToEnd, EveryExportResolvesByName) {
    for (const char* name : {"DllMain", "PMAbortScan", "PMAcquireImage", "PMCloseScanner", "PMEject",
                             "PMEnableOption", "PMFeed", "PMGetOptionStatus", "PMGetScanError",
                             "PMGetScanPaperSize", "PMGetScannerName", "PMInitAcquire", "PMOpenScanner",
                             "PMReset", "PMSetFocus"}) {
        EXPECT_NE(GetProcAddress(library.module, name), nullptr) << name;
    }
}

TEST_F(EndToEnd, OpenEjectFeedResetClose) {
    const auto open = library.get<decltype(&PMOpenScanner)>("PMOpenScanner");
    const auto eject = library.get<decltype(&PMEject)>("PMEject");
    const auto feed = library.get<decltype(&PMFeed)>("PMFeed");
    const auto reset = library.get<decltype(&PMReset)>("PMReset");
    const auto close = library.get<decltype(&PMCloseScanner)>("PMCloseScanner");
    const auto error = library.get<decltype(&PMGetScanError)>("PMGetScanError");

    ASSERT_EQ(open(reinterpret_cast<ScanParamBlock*>(block)), 1);
    EXPECT_EQ(error(), 0);
    EXPECT_EQ(eject(12345), 1);
    EXPECT_EQ(feed(-1), 1);
    EXPECT_EQ(reset(), 1);
    close();

    const std::vector<std::string> lines = readLines(logPath);
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[0], "GETOPSYS =4");
    EXPECT_EQ(lines[1], "INIT =0 0x80000001 \"Software\\TALVO\\ORVANI\" \"\" 0 \"KIVA4\"");
    EXPECT_EQ(lines[2], "ISREADY =0");
    EXPECT_EQ(lines[3], "OPEN =0");
    EXPECT_EQ(lines[4], "W =0 1B 49");
    // The controls, in order, each acknowledged; then the document feeder switched off (ESC e 0),
    // the port closed and the driver left.
    ASSERT_GE(lines.size(), 12u);
    const std::vector<std::string> tail(lines.end() - 12, lines.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"W =0 0C", "R =0 06", "W =0 19", "R =0 06", "W =0 1B 40",
                                              "R =0 06", "W =0 1B 65", "R =0 06", "W =0 00", "R =0 06",
                                              "CLOSE =0 arg=0", "EXIT =0"}));
}

TEST_F(EndToEnd, RefusedPortGives37AndCloseStillExitsTheDriver) {
    _putenv("VEXSCAN_SIM_FAULTS=open=37");
    const auto open = library.get<decltype(&PMOpenScanner)>("PMOpenScanner");
    const auto close = library.get<decltype(&PMCloseScanner)>("PMCloseScanner");
    EXPECT_EQ(open(reinterpret_cast<ScanParamBlock*>(block)), 37);
    close();
    const std::vector<std::string> lines = readLines(logPath);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "EXIT =0");
    _putenv("VEXSCAN_SIM_FAULTS=");
}

}  // namespace
