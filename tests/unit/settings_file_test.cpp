#include "core/settings/io_error.h"
#include "core/settings/settings_file.h"
#include "core/system/files.h"
#include "earlier_file_test.h"
#include "error_of.h"
#include "system_own.h"
#include "temp_files.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace kivo {
namespace {

namespace fs = std::filesystem;
using namespace test;

struct ReadResult {
    KivoState state;
    WindowBounds window;
    std::string error;
};

// What reading the file gives; the error is "" when it is read to its end.
ReadResult read(const std::string& file) {
    ReadResult result;
    result.error = errorOf([&] { readSettings(file, result.state, result.window); });
    return result;
}

ReadResult readBytes(const std::string& bytes) {
    TempDir dir;
    // On Windows the file holds the system code page's bytes.
    writeFile(dir.path() / "soxran.txt", systemTextFromUtf8(bytes));
    return read((dir.path() / "soxran.txt").string());
}

std::string writeError(const fs::path& file, const std::string& imagePath = "/opt/kivo/1.bmp") {
    KivoState state;
    state.ImagePath = imagePath;
    return errorOf([&] { writeSettings(file.string(), state, {1, 2, 3, 4}, {5, 6}); });
}

TEST(StrToInt, ConvertsDecimalAndHexadecimalWithSignsAndRefusesAnythingElseQuotingTheText) {
    const std::pair<const char*, std::int32_t> converted[] = {
        {"0", 0},
        {"42", 42},
        {"+7", 7},
        {"-7", -7},
        {"   12", 12},
        {"007", 7},
        {"2147483647", std::numeric_limits<std::int32_t>::max()},
        {"-2147483648", std::numeric_limits<std::int32_t>::min()},
        {"$2", 2},
        {"$ff", 255},
        {"xFF", 255},
        {"X10", 16},
        {"0x1A", 26},
        {"0X1a", 26},
        {"-$10", -16},
        {"+0x10", 16},
        {"$7FFFFFFF", std::numeric_limits<std::int32_t>::max()},
        {"$80000000", std::numeric_limits<std::int32_t>::min()},
        {"$FFFFFFFF", -1},
        {"-$FFFFFFFF", 1},
        {"-$80000000", std::numeric_limits<std::int32_t>::min()},
        {"$00000000FF", 255},
    };
    for (const auto& [text, expected] : converted) {
        EXPECT_EQ(strToInt(text), expected) << text;
    }
    const char* const refused[] = {
        "",           " ",           "-",
        "+",          "$",           "x",
        "0x",         "-$",          "1 ",
        "1x",         "12a",         "--1",
        "+-1",        "$-1",         "1.0",
        "\t1",        "$G",          "$100000000",
        "2147483648", "-2147483649", "99999999999999999999",
        "0x 1",       "- 1",         "$1FFFFFFFF",
        " 1 ",
    };
    for (const char* text : refused) {
        EXPECT_EQ(errorOf([&] { strToInt(text); }),
                  "'" + std::string(text) + "' is not a valid integer value");
    }
}

TEST(SettingsReader, SplitsLinesAtLfAndCrLfDropsLoneCrAndStopsAtByte26) {
    const ReadResult read = readBytes("Параметры\r\nVid=1\r\nFormkivo.left=2\nFormkivo.top=3\r4\n"
                                      "Im\rage=a\x1A"
                                      "b\r\nflpv=true\r\n");
    EXPECT_EQ(read.error, "");
    EXPECT_EQ(read.state.Vid, 1);
    EXPECT_EQ(read.window.left, 2);
    EXPECT_EQ(read.window.top, 34);
    EXPECT_EQ(read.state.ImagePath, "a");
    EXPECT_EQ(read.state.Flpv, 0);
    EXPECT_EQ(readBytes("Vid=0\nVid=7").state.Vid, 7) << "a last line without its end";
}

TEST(SettingsReader, FoldsOnlyTheAsciiLettersOfTheKeys) {
    const ReadResult read = readBytes("image=C:\\Фото\\a.BMP\nFORMKIVO.WIDTH=5\nformkivo.Height=6\n"
                                      "Image = x\n\xFDmage=y\nvid=1\n");
    EXPECT_EQ(read.state.ImagePath, "C:\\Фото\\a.BMP");
    EXPECT_EQ(read.window.width, 5);
    EXPECT_EQ(read.window.height, 6);
    EXPECT_EQ(read.state.Vid, 1);
}

TEST(SettingsReader, LastOccurrenceWinsButFlpvOnlyEverSetsTheFlag) {
    const ReadResult read = readBytes("Image=a\nVid=1\nflpv=true\nImage=b\nVid=0\nflpv=false\n");
    EXPECT_EQ(read.state.ImagePath, "b");
    EXPECT_EQ(read.state.Vid, 0);
    EXPECT_EQ(read.state.Flpv, 1);
    for (const char* value : {"TRUE", "True", "tRuE"}) {
        EXPECT_EQ(readBytes(std::string("flpv=") + value).state.Flpv, 1) << value;
    }
    for (const char* value : {"false", "yes", "", "true ", " true", "1"}) {
        EXPECT_EQ(readBytes(std::string("flpv=") + value).state.Flpv, 0) << value;
    }
}

TEST(SettingsReader, ABadNumberStopsTheReadingWithEarlierValuesApplied) {
    const ReadResult read =
        readBytes("Image=a\nFormkivo.left=5\nVid=1 \nFormkivo.top=7\nflpv=true\nImage=b\n");
    EXPECT_EQ(read.error, "'1 ' is not a valid integer value");
    EXPECT_EQ(read.state.ImagePath, "a");
    EXPECT_EQ(read.window.left, 5);
    EXPECT_EQ(read.window.top, 0);
    EXPECT_EQ(read.state.Flpv, 0);
    EXPECT_EQ(readBytes("Vid=").error, "'' is not a valid integer value");
    EXPECT_EQ(readBytes("Vid= 1").state.Vid, 1);
    EXPECT_EQ(readBytes("Vid=$2").state.Vid, 2);
}

// The window's place with the picture's size, in eight CrLf lines that read back as written.
TEST(SettingsWriter, ReplacesTheFileWithEightCrLfLinesThatReadBack) {
    TempDir dir;
    const fs::path file = dir.path() / "soxran.txt";
    writeFile(file, std::string(1000, 'x'));
    KivoState state;
    state.ImagePath = "/opt/kivo/image/море.bmp";
    state.Vid = 2;
    const std::string head = "Параметры окон и опций Kivo\r\nImage=/opt/kivo/image/море.bmp\r\n"
                             "Formkivo.left=-12\r\nFormkivo.top=96\r\nFormkivo.width=300\r\n"
                             "Formkivo.height=240\r\nVid=2\r\n";
    for (const std::int32_t flpv : {0, 2, 1}) {
        state.Flpv = flpv;
        writeSettings(file.string(), state, {-12, 96, 999, 888}, {300, 240});
        EXPECT_EQ(readFile(file),
                  systemTextFromUtf8(head + (flpv == 1 ? "flpv=true\r\n" : "flpv=false\r\n")));
    }
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"soxran.txt"});
    const ReadResult back = read(file.string());
    EXPECT_EQ(back.error, "");
    EXPECT_EQ(back.state.ImagePath, state.ImagePath);
    EXPECT_EQ(back.state.Vid, 2);
    EXPECT_EQ(back.state.Flpv, 1);
    EXPECT_EQ(back.window, (WindowBounds{-12, 96, 300, 240}));
}

using SettingsWriteFailure = EarlierFileTest;

// Reading tells a missing file from a missing folder; writing does not create the folder.
TEST_F(SettingsWriteFailure, AMissingFolderIsAnInvalidFilenameAndIsNotCreated) {
    fs::remove_all(folder);
    EXPECT_EQ(read((dir.path() / "soxran.txt").string()).error, "File not found");
    EXPECT_EQ(read(file.string()).error, "Invalid filename");
    EXPECT_EQ(writeError(file), "Invalid filename");
    EXPECT_FALSE(fs::exists(folder));
}

// Made read-only as each system does it: no write bits, or the read-only attribute.
TEST_F(SettingsWriteFailure, AReadOnlyFileIsRefusedAndKept) {
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_EQ(writeError(file), "File access denied");
    fs::permissions(file, fs::perms::owner_write, fs::perm_options::add);
    expectOldFileAloneIntact();
}

TEST_F(SettingsWriteFailure, AFailedReplaceRemovesTheTemporaryFile) {
    fs::remove(file);
    fs::create_directories(file / "inside");
    EXPECT_EQ(writeError(file), folderInTheWayMessage());
    EXPECT_TRUE(fs::is_directory(file / "inside"));
    EXPECT_EQ(namesIn(folder), std::vector<std::string>{"soxran.txt"});
}

// Split over two lines the path would name no picture at the next start; and a file of the
// user's at the name a save once used as its temporary is never taken.
TEST_F(SettingsWriteFailure, APathThatWouldNotReadBackIsRefusedAndAUsersFileNeverTaken) {
    EXPECT_EQ(writeError(file, "/opt/a\nb.bmp"),
              "Cannot save the picture's path, which holds a line break: \"/opt/a\nb.bmp\"");
    expectOldFileAloneIntact();
    writeFile(file.string() + ".tmp", "mine");
    EXPECT_EQ(writeError(file), "");
    EXPECT_EQ(readFile(file.string() + ".tmp"), "mine");
    EXPECT_EQ(namesIn(folder), (std::vector<std::string>{"soxran.txt", "soxran.txt.tmp"}));
}

// The codes the systems' errors map to are checked with them (files_test).
TEST(IoError, ReadAndNumberCodesHaveTextsAndUnlistedOnesShowAsNumbers) {
    EXPECT_EQ(ioErrorMessage(100), "Read beyond end of file");
    EXPECT_EQ(ioErrorMessage(106), "Invalid numeric input");
    EXPECT_EQ(ioErrorMessage(13), "I/O error 13");
    EXPECT_EQ(ioErrorMessage(21), "I/O error 21");
}

} // namespace
} // namespace kivo
