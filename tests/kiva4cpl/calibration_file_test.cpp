// writeCalibrationFile and prepareCalibrationFolder against a scratch folder standing for the
// Windows directory, so the prefix's own %WINDIR% stays untouched.
#include "kiva4cpl/calibration_file.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <ostream>
#include <string>
#include <vector>

#include "kiva4cpl/calibration_math.h"
#include "kiva4cpl/module_state.h"
#include "windows_support.h"

namespace kiva4cpl::test {
namespace {

void removeTree(const std::string& path) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            const std::string child = path + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                removeTree(child);
            } else {
                DeleteFileA(child.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

void writeFile(const std::string& path, std::size_t size) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    const std::vector<char> junk(size, 'j');
    DWORD written = 0;
    WriteFile(file, junk.data(), static_cast<DWORD>(junk.size()), &written, nullptr);
    CloseHandle(file);
}

class CalibrationFolder : public testing::Test {
protected:
    void SetUp() override {
        // The name block comes from the module's string table.
        module = LoadLibraryA("kiva4cpl.dll");
        ASSERT_NE(module, nullptr);
        moduleState().module = module;
        std::array<char, MAX_PATH> temp{};
        GetTempPathA(MAX_PATH, temp.data());
        windows = std::string(temp.data()) + "kiva4cpl-file-test-" +
                  std::to_string(GetCurrentProcessId());
        removeTree(windows);
        ASSERT_TRUE(CreateDirectoryA(windows.c_str(), nullptr));
    }
    void TearDown() override {
        removeTree(windows);
        moduleState().module = nullptr;
        FreeLibrary(module);
    }
    std::string twain() const { return windows + "\\TWAIN"; }
    std::string calibrat() const { return twain() + "\\CALIBRAT"; }
    std::string screenCal() const { return calibrat() + "\\SCREEN.CAL"; }

    HMODULE module = nullptr;
    std::string windows;
};

struct PositionCase {
    int position;
    std::vector<std::pair<int, int>> toneEntries;  // entry, value
    bool identity;
};

void PrintTo(const PositionCase& c, std::ostream* os) { *os << "position " << c.position; }

class CalibrationFileContent : public CalibrationFolder,
                               public testing::WithParamInterface<PositionCase> {};

TEST_P(CalibrationFileContent, HoldsHeaderNameThreeToneTablesAndMatrix) {
    const PositionCase& c = GetParam();
    ASSERT_EQ(writeCalibrationFileIn(windows.c_str(), gammaForPosition(c.position)), 0);
    const auto bytes = readFileBytes(screenCal());
    ASSERT_TRUE(bytes);
    ASSERT_EQ(bytes->size(), 835u);

    EXPECT_EQ(std::string(bytes->begin(), bytes->begin() + 16),
              std::string("SCREEN", 6) + std::string(10, '\0'));
    EXPECT_EQ(std::string(bytes->begin() + 16, bytes->begin() + 49),
              std::string("Screen", 6) + std::string(27, '\0'));
    for (int copy = 0; copy < 3; ++copy) {
        const std::size_t table = 49 + 256 * static_cast<std::size_t>(copy);
        SCOPED_TRACE("tone table copy " + std::to_string(copy));
        EXPECT_EQ((*bytes)[table], 0);
        EXPECT_EQ((*bytes)[table + 255], 255);
        for (const auto& [entry, value] : c.toneEntries) {
            EXPECT_EQ((*bytes)[table + static_cast<std::size_t>(entry)], value)
                << "entry " << entry;
        }
        if (c.identity) {
            for (int i = 0; i < 256; ++i)
                ASSERT_EQ((*bytes)[table + static_cast<std::size_t>(i)], i);
        }
    }
    const std::vector<std::uint8_t> trailer(bytes->end() - 18, bytes->end());
    const std::vector<std::uint8_t> expected = {0x64, 0, 0, 0, 0, 0, 0, 0,    0x64,
                                                0,    0, 0, 0, 0, 0, 0, 0x64, 0};
    EXPECT_EQ(trailer, expected);
}

INSTANTIATE_TEST_SUITE_P(Positions, CalibrationFileContent,
                         testing::Values(PositionCase{0, {{1, 1}, {128, 128}}, true},
                                         PositionCase{10, {{64, 128}}, false},
                                         PositionCase{20, {{1, 40}, {128, 203}}, false}));

TEST_F(CalibrationFolder, CreatesTwainAndCalibratAndLeavesTheCurrentDirectory) {
    std::array<char, MAX_PATH> before{};
    GetCurrentDirectoryA(MAX_PATH, before.data());
    const auto paths = prepareCalibrationFolder(windows.c_str());
    ASSERT_TRUE(paths);
    EXPECT_EQ(paths->filePath, screenCal());
    EXPECT_TRUE(GetFileAttributesA(calibrat().c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_TRUE(fileExists(calibrat()));
    std::array<char, MAX_PATH> after{};
    GetCurrentDirectoryA(MAX_PATH, after.data());
    EXPECT_STREQ(after.data(), before.data());
}

TEST_F(CalibrationFolder, ReplacesALongerFileWhole) {
    ASSERT_TRUE(prepareCalibrationFolder(windows.c_str()));
    writeFile(screenCal(), 2000);
    ASSERT_EQ(writeCalibrationFileIn(windows.c_str(), 1.0), 0);
    EXPECT_EQ(readFileBytes(screenCal())->size(), 835u);
}

TEST_F(CalibrationFolder, FailsWithMinusTwoWhenTheTwainFolderCannotBeCreated) {
    writeFile(twain(), 3);  // a file where the folder should go
    EXPECT_EQ(writeCalibrationFileIn(windows.c_str(), 2.0), -2);
    EXPECT_EQ(readFileBytes(twain())->size(), 3u);
    EXPECT_FALSE(fileExists(screenCal()));
}

TEST_F(CalibrationFolder, FailsWithMinusTwoWhenTheCalibratFolderIsAFile) {
    ASSERT_TRUE(CreateDirectoryA(twain().c_str(), nullptr));
    writeFile(calibrat(), 3);
    EXPECT_EQ(writeCalibrationFileIn(windows.c_str(), 2.0), -2);
    EXPECT_EQ(readFileBytes(calibrat())->size(), 3u);
}

TEST_F(CalibrationFolder, FailsWithMinusTwoAndCreatesNothingWhenThePathOverflows) {
    const std::size_t suffix = std::string("\\TWAIN\\CALIBRAT\\SCREEN.CAL").size();
    const std::size_t longest = 131 - suffix;  // the path buffer holds 132 bytes
    ASSERT_LT(windows.size() + 1, longest);
    const std::string fits = windows + "\\" + std::string(longest - windows.size() - 1, 'L');
    const std::string overflows = fits + "L";
    ASSERT_TRUE(CreateDirectoryA(fits.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(overflows.c_str(), nullptr));

    EXPECT_EQ(writeCalibrationFileIn(overflows.c_str(), 2.0), -2);
    EXPECT_FALSE(fileExists(overflows + "\\TWAIN"));
    EXPECT_EQ(writeCalibrationFileIn(fits.c_str(), 2.0), 0);
    EXPECT_EQ(readFileBytes(fits + "\\TWAIN\\CALIBRAT\\SCREEN.CAL")->size(), 835u);
}

// Block writers that fail at a chosen block, counting the blocks they were given.
int blocksWritten = 0;
int failingBlock = 0;
bool failAtChosenBlock(HANDLE file, const std::uint8_t* bytes, DWORD size) {
    if (blocksWritten == failingBlock) return false;
    ++blocksWritten;
    return writeWholeBlock(file, bytes, size);
}

class CalibrationWriteFailure : public CalibrationFolder,
                                public testing::WithParamInterface<int> {};

TEST_P(CalibrationWriteFailure, DeletesThePartialFileAndReturnsMinusThree) {
    ASSERT_TRUE(prepareCalibrationFolder(windows.c_str()));
    writeFile(screenCal(), 835);  // an earlier calibration
    blocksWritten = 0;
    failingBlock = GetParam();
    EXPECT_EQ(writeCalibrationFileIn(windows.c_str(), 2.0, failAtChosenBlock), -3);
    EXPECT_EQ(blocksWritten, GetParam());
    EXPECT_FALSE(fileExists(screenCal()));
    EXPECT_TRUE(fileExists(calibrat()));
}

INSTANTIATE_TEST_SUITE_P(EveryBlock, CalibrationWriteFailure, testing::Range(0, 6));

}  // namespace
}  // namespace kiva4cpl::test
