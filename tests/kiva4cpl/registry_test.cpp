// The module's registry routines against a key of their own under the prefix's HKEY_CURRENT_USER.
#include "kiva4cpl/registry.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <string>

#include "windows_support.h"

namespace kiva4cpl::test {
namespace {

constexpr const char* testKey = "Software\\TALVO\\kiva4cpl-registry-test";

class Registry : public testing::Test {
protected:
    void SetUp() override { RegDeleteTreeA(HKEY_CURRENT_USER, testKey); }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, testKey); }

    static void setRaw(const char* name, DWORD type, const void* data, DWORD size) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, testKey, &key), ERROR_SUCCESS);
        RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
        RegCloseKey(key);
    }
};

TEST_F(Registry, StringDefaultsWhenKeyOrValueIsMissing) {
    std::array<char, 88> text{};
    EXPECT_EQ(readRegString(HKEY_CURRENT_USER, testKey, "Name", text, "fallback"),
              RegistryRead::defaulted);
    EXPECT_STREQ(text.data(), "fallback");
    setRegistryDword(testKey, "Other", 1);
    EXPECT_EQ(readRegString(HKEY_CURRENT_USER, testKey, "Name", text, ""), RegistryRead::defaulted);
    EXPECT_STREQ(text.data(), "");
}

TEST_F(Registry, StringRoundTripsWithoutTerminatorInTheStoredBytes) {
    ASSERT_TRUE(writeRegString(HKEY_CURRENT_USER, testKey, "Name", "Orvani 4800"));
    std::array<char, 88> text{};
    EXPECT_EQ(readRegString(HKEY_CURRENT_USER, testKey, "Name", text, "x"), RegistryRead::read);
    EXPECT_STREQ(text.data(), "Orvani 4800");
    EXPECT_EQ(registryString(testKey, "Name"), "Orvani 4800");
}

TEST_F(Registry, StringIsReadWhateverTheStoredType) {
    setRaw("Name", REG_BINARY, "abc", 3);  // no terminator stored
    std::array<char, 88> text;
    text.fill('#');
    EXPECT_EQ(readRegString(HKEY_CURRENT_USER, testKey, "Name", text, ""), RegistryRead::read);
    EXPECT_STREQ(text.data(), "abc");
}

TEST_F(Registry, StringLongerThanTheDestinationIsCutAndTerminated) {
    const std::string stored(200, 'S');
    setRegistryString(testKey, "Name", stored);
    std::array<char, 88> text;
    text.fill('#');
    EXPECT_EQ(readRegString(HKEY_CURRENT_USER, testKey, "Name", text, ""), RegistryRead::cut);
    EXPECT_EQ(std::string(text.data()), std::string(87, 'S'));
}

TEST_F(Registry, StringFillingTheWholeQueryBufferStaysTerminated) {
    const std::string stored(256, 'F');
    setRaw("Name", REG_BINARY, stored.data(), 256);
    std::array<char, 300> text;
    text.fill('#');
    EXPECT_EQ(readRegString(HKEY_CURRENT_USER, testKey, "Name", text, ""), RegistryRead::read);
    EXPECT_EQ(std::string(text.data()), stored);
}

TEST_F(Registry, StringBeyondTheQueryBufferGivesTheDefault) {
    setRegistryString(testKey, "Name", std::string(400, 'B'));
    std::array<char, 88> text{};
    EXPECT_EQ(readRegString(HKEY_CURRENT_USER, testKey, "Name", text, "none"),
              RegistryRead::defaulted);
    EXPECT_STREQ(text.data(), "none");
}

TEST_F(Registry, DwordRoundTripsAndDefaults) {
    EXPECT_EQ(readRegDword(HKEY_CURRENT_USER, testKey, "Value", 7), 7u);
    ASSERT_TRUE(writeRegDword(HKEY_CURRENT_USER, testKey, "Value", 0x12345678));
    EXPECT_EQ(readRegDword(HKEY_CURRENT_USER, testKey, "Value", 7), 0x12345678u);
    EXPECT_EQ(registryDword(testKey, "Value"), 0x12345678u);
}

TEST_F(Registry, DwordTooLargeToReadGivesTheDefault) {
    const std::array<std::uint8_t, 8> eightBytes = {1, 2, 3, 4, 5, 6, 7, 8};
    setRaw("Value", REG_BINARY, eightBytes.data(), 8);
    EXPECT_EQ(readRegDword(HKEY_CURRENT_USER, testKey, "Value", 9), 9u);
}

TEST_F(Registry, WritesCreateTheMissingKey) {
    ASSERT_TRUE(writeRegString(HKEY_CURRENT_USER, testKey, "Name", ""));
    EXPECT_EQ(registryString(testKey, "Name"), "");
    RegDeleteTreeA(HKEY_CURRENT_USER, testKey);
    ASSERT_TRUE(writeRegDword(HKEY_CURRENT_USER, testKey, "Value", 1));
    EXPECT_EQ(registryDword(testKey, "Value"), 1u);
}

}  // namespace
}  // namespace kiva4cpl::test
