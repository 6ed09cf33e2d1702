#include "registry_autostart.h"

#include <gtest/gtest.h>
#include <optional>
#include <windows.h>

namespace kivo::win32 {
namespace {

// A Run key of the test's own under the current user.
class RegistryAutostart : public ::testing::Test {
  protected:
    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, kHome);
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, testKey_.c_str(), 0, nullptr, 0,
                                  KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kHome); }

    static constexpr const wchar_t* kHome = L"Software\\KivoTests\\RegistryAutostart";
    const std::wstring testKey_ = std::wstring(kHome) + L"\\Run";
    const std::wstring missingKey_ = std::wstring(kHome) + L"\\Missing";

    std::optional<std::wstring> stringValue(const wchar_t* name) const {
        wchar_t data[512] = {};
        DWORD size = sizeof data;
        if (RegGetValueW(HKEY_CURRENT_USER, testKey_.c_str(), name, RRF_RT_REG_SZ, nullptr, data,
                         &size) != ERROR_SUCCESS) {
            return std::nullopt;
        }
        return std::wstring(data);
    }

    DWORD valueCount() const {
        HKEY key = nullptr;
        DWORD count = 0;
        RegOpenKeyExW(HKEY_CURRENT_USER, testKey_.c_str(), 0, KEY_READ, &key);
        RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr,
                         nullptr, nullptr, nullptr);
        RegCloseKey(key);
        return count;
    }
};

// A delete forgives a missing value or key, and a write never creates the key.
TEST_F(RegistryAutostart, WritesThePathOnceQuotedWhenItHasBlanksAndDeletesIt) {
    EXPECT_TRUE(writeAutostartValue(testKey_, "kivo.narod.ru", "C:\\Kivo\\kivo.exe"));
    EXPECT_TRUE(writeAutostartValue(testKey_, "kivo.narod.ru", "C:\\Kivo\\kivo.exe"));
    EXPECT_EQ(stringValue(L"kivo.narod.ru"), L"C:\\Kivo\\kivo.exe");
    EXPECT_EQ(valueCount(), 1u);
    writeAutostartValue(testKey_, "kivo.narod.ru", "C:\\Program Files\\Киво\\kivo.exe");
    EXPECT_EQ(stringValue(L"kivo.narod.ru"), L"\"C:\\Program Files\\Киво\\kivo.exe\"");

    deleteAutostartValue(testKey_, "kivo.narod.ru");
    EXPECT_EQ(stringValue(L"kivo.narod.ru"), std::nullopt);
    deleteAutostartValue(testKey_, "kivo.narod.ru");    // missing: nothing to do
    deleteAutostartValue(missingKey_, "kivo.narod.ru"); // nor without the key

    EXPECT_FALSE(writeAutostartValue(missingKey_, "kivo.narod.ru", "C:\\kivo.exe"));
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, missingKey_.c_str(), 0, KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
}

} // namespace
} // namespace kivo::win32
