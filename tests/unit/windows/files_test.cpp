#include "core/system/files.h"
#include "core/system/utf16.h"
#include "error_of.h"
#include "temp_files.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <string>

namespace kivo {
namespace {

namespace fs = std::filesystem;
using namespace test;

// A copy onto a file gives the system's own code and leaves the file, and a failed open is told
// in the system's words; the codes of a missing file or folder are checked where the picture
// choice reports them.
TEST(WindowsErrorCodes, KeyTheTableAreWhatACopyReportsAndExplainAFailedOpen) {
    EXPECT_EQ(ioErrorText(ERROR_FILE_NOT_FOUND, "f"), "File not found");
    EXPECT_EQ(ioErrorText(ERROR_PATH_NOT_FOUND, "f"), "Invalid filename");
    EXPECT_EQ(ioErrorText(ERROR_TOO_MANY_OPEN_FILES, "f"), "Too many open files");
    EXPECT_EQ(ioErrorText(ERROR_ACCESS_DENIED, "f"), "File access denied");
    EXPECT_EQ(ioErrorText(ERROR_DISK_FULL, "f"), "Disk full");
    EXPECT_EQ(ioErrorText(ERROR_HANDLE_DISK_FULL, "f"), "Disk full");
    EXPECT_EQ(ioErrorText(ERROR_SHARING_VIOLATION, "f"), "I/O error 32");

    TempDir dir;
    const std::string from = (dir.path() / "a.bmp").string();
    writeFile(from, "picture");
    writeFile(dir.path() / "b.bmp", "another");
    EXPECT_EQ(copyNewFile(from, (dir.path() / "b.bmp").string()), ERROR_FILE_EXISTS);
    EXPECT_EQ(readFile(dir.path() / "b.bmp"), "another");
    const std::string missing = (dir.path() / "нет" / "1.bmp").string();
    EXPECT_EQ(errorOf([&] { std::fclose(openForReading(missing)); }),
              "Cannot open file \"" + missing + "\". Путь не найден.");
}

// Code page 1251 has no "é": the settings file names the picture by its short form, which the
// system gives only for a file that is there.
TEST(WindowsCodePage, APathItCannotWriteIsSavedInItsShortFormOrNotAtAll) {
    TempDir dir;
    fs::create_directory(dir.path() / L"Wé");
    writeFile(dir.path() / L"Wé" / "1.bmp", "picture");
    const std::string path = (dir.path() / L"Wé" / "1.bmp").string();
    const auto written = codePagePath(path);
    ASSERT_TRUE(written);
    EXPECT_EQ(utf8FromSystemText(systemTextFromUtf8(*written)), *written);
    EXPECT_TRUE(fs::equivalent(filePath(*written), filePath(path)));
    EXPECT_FALSE(codePagePath((dir.path() / L"Wé" / "2.bmp").string()));
    EXPECT_EQ(codePagePath("C:\\Мои\\sea.bmp"), "C:\\Мои\\sea.bmp");
}

TEST(Utf16, RoundTripsUtf8BeyondTheBasicPlaneAndTheRussianCodePagesOwnBytes) {
    const std::string utf8 = "Картинка \xF0\x9F\x8C\xB8 C:\\image\\1.bmp";
    const std::wstring wide = toWide(utf8);
    EXPECT_EQ(wide, L"Картинка \U0001F338 C:\\image\\1.bmp");
    EXPECT_EQ(fromWide(wide), utf8);
    EXPECT_EQ(toWide(""), L"");
    EXPECT_EQ(fromWide(L""), "");
    constexpr unsigned kCyrillic = 1251;
    EXPECT_EQ(fromWide(L"Киво", kCyrillic), "\xCA\xE8\xE2\xEE");
    EXPECT_EQ(toWide("\xCA\xE8\xE2\xEE", kCyrillic), L"Киво");
}

} // namespace
} // namespace kivo
