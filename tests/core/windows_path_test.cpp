// Paths below the Windows directory: the data source's warm-up binding and the settings file,
// including Windows directories too long for their fixed buffers.
#include <gtest/gtest.h>

#include <fstream>

#include "tests/support/sim_fixture.h"
#include "tests/support/temporary_directory.h"
#include "vexscan/api/connection.h"
#include "vexscan/device/warm_up_binding.h"
#include "vexscan/device/windows_path.h"
#include "vexscan/platform/platform.h"

namespace vexscan::test {
namespace {

using platform::kPathSeparator;

TEST(WindowsPath, FitsOnlyWithItsTerminatingNul) {
    const std::string suffix = std::string(1, kPathSeparator) + "TWAIN_32" + kPathSeparator + "KIVA4" +
                               kPathSeparator + "PELLAR4.DS";  // 23 characters
    const std::string exact(144 - 1 - suffix.size(), 'w');
    {
        WindowsDirectoryOverride windows(exact);
        const auto path = windowsPath(144, {"TWAIN_32", "KIVA4", "PELLAR4.DS"});
        ASSERT_TRUE(path.has_value());
        EXPECT_EQ(*path, exact + suffix);
        EXPECT_EQ(path->size(), 143u);
    }
    {
        WindowsDirectoryOverride windows(exact + "w");
        EXPECT_FALSE(windowsPath(144, {"TWAIN_32", "KIVA4", "PELLAR4.DS"}).has_value());
    }
}

// The data source's own calls, read back through the same loaded module.
struct DataSourceRecorder {
    platform::Module module{(std::string(VEXSCAN_TEST_WINDOWS_DIR) + kPathSeparator + "TWAIN_32" +
                             kPathSeparator + "KIVA4" + kPathSeparator + "PELLAR4.DS")
                                .c_str()};
    using Count = int32_t(VEXSCAN_CALL*)();
    using Call = int32_t(VEXSCAN_CALL*)(int32_t);
    using Clear = void(VEXSCAN_CALL*)();

    int32_t count() const { return reinterpret_cast<Count>(module.symbol("DSWarmUpCallCount"))(); }
    int32_t call(int32_t index) const { return reinterpret_cast<Call>(module.symbol("DSWarmUpCall"))(index); }
    void clear() const { reinterpret_cast<Clear>(module.symbol("DSWarmUpClear"))(); }
};

TEST(WarmUpBinding, CallsTheDataSourceFoundBelowTheWindowsDirectory) {
    WindowsDirectoryOverride windows(VEXSCAN_TEST_WINDOWS_DIR);
    DataSourceRecorder recorder;
    ASSERT_TRUE(recorder.module.loaded());
    recorder.clear();

    WarmUpBinding binding;
    ASSERT_TRUE(binding.bound());
    binding.show(1);
    binding.show(0);
    ASSERT_EQ(recorder.count(), 2);
    EXPECT_EQ(recorder.call(0), 1);
    EXPECT_EQ(recorder.call(1), 0);
}

TEST(WarmUpBinding, MissingOrUnreachableDataSourceLeavesNoBinding) {
    TemporaryDirectory empty;
    const std::string tooLong(200, 'w');
    for (const std::string& directory : {empty.path().string(), tooLong}) {
        WindowsDirectoryOverride windows(directory);
        WarmUpBinding binding;
        EXPECT_FALSE(binding.bound());
        binding.show(1);  // nothing to call, nothing happens
    }
}

TEST(SettingsPath, WindowsDirectoryTooLongForTheSettingsPathMeansNoSettings) {
    auto device = installSimulatedDevice("extended-b7");
    // ESCSupport=1 sits in a file whose path needs more than 260 characters: it is not read.
    const std::string longName(120, 'd');
    TemporaryDirectory directory;
    const std::filesystem::path windows = directory.path() / longName / longName;
    std::filesystem::create_directories(windows);
    if (windows.string().size() + 24 < 260) GTEST_SKIP() << "temporary folder too short for this case";
    std::filesystem::create_directories(windows / "TWAIN_32/KIVA4");
    std::ofstream(windows / "TWAIN_32/KIVA4/PELLAR4.INI") << "[Debug]\nESCSupport=1\n";
    WindowsDirectoryOverride override(windows.string());

    const auto factory = []() -> std::unique_ptr<CommPort> { return simulatedPort(); };
    alignas(8) uint8_t block[1776] = {};
    EXPECT_EQ(openScanner(reinterpret_cast<ScanParamBlock*>(block), factory), 1);
    EXPECT_TRUE(connection().extendedFamily);
    closeScanner();
    sim::installDevice(nullptr);
}

}  // namespace
}  // namespace vexscan::test
