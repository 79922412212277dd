// What vexscan.dll and the simulated QUAYLINK.DLL show the Windows loader: names, ordinals,
// undecorated names, and imports from system DLLs only. Runs under Wine beside the DLLs, or
// natively on the Windows build's folder named by VEXSCAN_WINDOWS_BIN_DIR.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>

#include "tests/support/pe_image.h"

namespace vexscan::test {
namespace {

std::string upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
    return text;
}

const std::vector<std::string> kSystemDlls = {"KERNEL32.DLL", "USER32.DLL", "GDI32.DLL", "ADVAPI32.DLL",
                                              "COMCTL32.DLL", "MSVCRT.DLL"};

std::string binaryPath(const std::string& file) {
    const char* folder = std::getenv("VEXSCAN_WINDOWS_BIN_DIR");
    return folder != nullptr && *folder != '\0' ? std::string(folder) + "/" + file : file;
}

class WindowsBinaries : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::ifstream(binaryPath("vexscan.dll"))) {
            GTEST_SKIP() << "no Windows build here; set VEXSCAN_WINDOWS_BIN_DIR to its bin folder";
        }
    }
};

PeImage read(const std::string& file) {
    std::string error;
    auto image = readPeImage(binaryPath(file), error);
    EXPECT_TRUE(image.has_value()) << file << ": " << error;
    return image.value_or(PeImage{});
}

TEST_F(WindowsBinaries, VexscanExportsTheFifteenFunctionsUnderTheirOrdinals) {
    const std::vector<PeExport> expected = {
        {1, "DllMain"},          {2, "PMAbortScan"},     {3, "PMAcquireImage"},     {4, "PMCloseScanner"},
        {5, "PMEject"},          {6, "PMEnableOption"},  {7, "PMFeed"},             {8, "PMGetOptionStatus"},
        {9, "PMGetScanError"},   {10, "PMGetScanPaperSize"}, {11, "PMGetScannerName"}, {12, "PMInitAcquire"},
        {13, "PMOpenScanner"},   {14, "PMReset"},        {15, "PMSetFocus"},
    };
    const PeImage image = read("vexscan.dll");
    ASSERT_EQ(image.exports.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(image.exports[i].ordinal, expected[i].ordinal) << expected[i].name;
        EXPECT_EQ(image.exports[i].name, expected[i].name);
    }
}

TEST_F(WindowsBinaries, ImportSystemDllsOnly) {
    for (const char* file : {"vexscan.dll", "QUAYLINK.DLL"}) {
        const PeImage image = read(file);
        EXPECT_FALSE(image.importedDlls.empty()) << file;
        for (const std::string& dll : image.importedDlls) {
            EXPECT_NE(std::find(kSystemDlls.begin(), kSystemDlls.end(), upper(dll)), kSystemDlls.end())
                << file << " imports " << dll;
        }
    }
}

TEST_F(WindowsBinaries, SimulatedDriverExportsTheNineEntryPointsUndecorated) {
    std::vector<std::string> names;
    for (const PeExport& entry : read("QUAYLINK.DLL").exports) names.push_back(entry.name);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"DDClose", "DDExit", "DDGetOpsys", "DDInit", "DDIsReady",
                                               "DDOpen", "DDRead", "DDSave", "DDWrite"}));
}

}  // namespace
}  // namespace vexscan::test
