#include "core/picture/bitmap_check.h"
#include "core/window/form_kivo.h"
#include "error_of.h"
#include "fake_desktop.h"
#include "jpeg_maker.h"
#include "program.h"
#include "system_own.h"
#include "temp_files.h"

#include <jerror.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace kivo {
namespace {

using namespace test;

// `bytes` with a little-endian field overwritten.
std::string patched(std::string bytes, std::size_t offset, std::uint32_t value, int size) {
    return bytes.replace(offset, size, le(value, size));
}

// The message checkBitmapFile gives for a file of these bytes, or "" when it accepts it.
std::string checkBytes(const std::string& bytes) {
    TempDir dir;
    writeFile(dir.path() / "picture.bmp", bytes);
    return errorOf([&] { checkBitmapFile((dir.path() / "picture.bmp").string()); });
}

TEST(BitmapCheck, AcceptsCompletePicturesRefusesDamagedOrInsaneHeadersAndNamesAMissingFile) {
    EXPECT_EQ(checkBytes(bmp24(3, 2)), "");
    EXPECT_EQ(checkBytes(patched(bmp24(3, 2), 22, static_cast<std::uint32_t>(-2), 4)), "")
        << "rows stored top-down";
    EXPECT_EQ(checkBytes(bmp24(5, 4) + "trailing bytes"), "");
    EXPECT_EQ(checkBytes(bmpClaiming(8192, 8192, 8, 1)), "") << "the largest picture allowed";
    EXPECT_EQ(checkBytes(bmpClaiming(32767, 2, 8, 1)), "") << "the longest side allowed";
    EXPECT_EQ(checkBytes(bmpClaiming(3, 2, 8, 1, 256)), "") << "a full 8-bit palette";

    TempDir dir;
    const std::string missing = (dir.path() / "нет.bmp").string();
    EXPECT_EQ(errorOf([&] { checkBitmapFile(missing); }),
              "Cannot open file \"" + missing + "\". " + missingFileReason());
    const std::string good = bmp24(3, 2);
    const std::pair<std::string, std::string> cases[] = {
        {"", "empty file"},
        {"Just some text, long enough to fill a bitmap's headers, and more.", "not a BMP"},
        {good.substr(0, good.size() - 1), "last row cut short"},
        {good.substr(0, 40), "headers cut short"},
        {patched(patched(good, 18, 6000, 4), 22, 5000, 4), "6000 x 5000 header over 24 bytes"},
        {bmpClaiming(8192, 8193, 8, 1), "more pixels than allowed"},
        {bmpClaiming(1, 100000, 8, 1), "a side longer than allowed"},
        {bmpClaiming(32768, 1, 8, 1), "a side longer than allowed"},
        {bmpClaiming(3, 2, 8, 1, 257), "more colours than 8 bits index"},
        {patched(patched(good, 18, 0x7FFFFFFF, 4), 22, 0x80000000, 4), "extreme sizes"},
        {patched(good, 0, 'M' | 'B' << 8, 2), "signature"},
        {patched(good, 14, 41, 4), "info header size"},
        {patched(good, 18, 0, 4), "zero width"},
        {patched(good, 18, static_cast<std::uint32_t>(-3), 4), "negative width"},
        {patched(good, 22, 0, 4), "zero height"},
        {patched(good, 26, 2, 2), "planes"},
        {patched(good, 28, 7, 2), "bit count"},
        {patched(good, 30, 1, 4), "RLE8 on 24 bits"},
        {patched(good, 30, 3, 4), "bit fields on 24 bits"},
        {patched(good, 30, 4, 4), "JPEG compression"},
        {patched(good, 10, 20, 4), "pixels inside the headers"},
        {patched(good, 10, 0xFFFFFFF0, 4), "pixels beyond the end"},
    };
    for (const auto& [bytes, what] : cases) {
        EXPECT_EQ(checkBytes(bytes), "Bitmap image is not valid") << what;
    }
}

std::string pixelsOf(const std::string& bmp) {
    return bmp.substr(leAt(bmp, 10, 4));
}

// The program's form, converting the pictures in its folder of photos.
struct Conversion : test::Program<> {
    std::string convert(const std::string& name) { return form.preobraz(photo(name)); }
    std::string djpeg(const std::string& options, const std::string& name) const {
        const std::string out = photo(name + ".djpeg.bmp");
        const std::string command =
            "djpeg -bmp " + options + " -outfile \"" + out + "\" \"" + photo(name) + "\"";
        // Under load Wine now and then fails to start the shell at all (-1): once more then.
        int status = std::system(command.c_str());
        if (status == -1) {
            status = std::system(command.c_str());
        }
        EXPECT_EQ(status, 0) << command;
        return readFile(out);
    }
};

// Only a ".jpg" or ".jpeg" name, in any case, is converted, each time under the busy cursor;
// anything else comes back unchecked.
TEST(Preobraz, ReplacesTheExtensionFromTheLastDotWithBmpAndHandsBackAnythingElse) {
    Conversion c;
    for (const char* name : {"photo.jpe", "photo.png", "photo", "photo.jpg.png", "my.jpg/photo"}) {
        EXPECT_EQ(c.convert(name), c.photo(name));
    }
    const std::pair<const char*, const char*> converted[] = {{"PHOTO.JPG", "PHOTO.bmp"},
                                                             {"a.bmp.jpg", "a.bmp.bmp"},
                                                             {"Sea.JPEG", "Sea.bmp"},
                                                             {"mixed.JpEg", "mixed.bmp"}};
    for (const auto& [jpeg, bmp] : converted) {
        writeFile(c.photo(jpeg), makeJpeg(8, 8));
        EXPECT_EQ(c.convert(jpeg), c.photo(bmp));
        EXPECT_EQ(readFile(c.photo(bmp)).substr(0, 2), "BM");
    }
    EXPECT_EQ(c.desktop.busy,
              (std::vector<bool>{true, false, true, false, true, false, true, false}));
    EXPECT_TRUE(c.desktop.dialogs.empty());
    EXPECT_EQ(namesIn(c.dir.path() / "photos").size(), 8u) << "a temporary stayed behind";
}

TEST(Preobraz, ColourGives24BitRowsPaddedToFourBytesAsDjpegDecodesThem) {
    Conversion c;
    for (const int width : {3, 5, 64}) {
        for (const bool progressive : {false, true}) {
            const std::string name =
                "c" + std::to_string(width) + (progressive ? "p" : "") + ".jpg";
            writeFile(c.photo(name), makeJpeg(width, 7, {.progressive = progressive}));
            const std::string bmp = readFile(c.convert(name));
            const std::uint32_t stride = (width * 3 + 3) / 4 * 4;
            ASSERT_EQ(bmp.size(), 54 + stride * 7);
            // A plain bottom-up bitmap's header, without resolution or palette.
            EXPECT_EQ(bmp.substr(0, 38), bmp24(width, 7).substr(0, 38));
            EXPECT_EQ(bmp.substr(38, 16), std::string(16, '\0'));
            for (std::uint32_t row = 0; row < 7; ++row) {
                for (std::uint32_t pad = width * 3; pad < stride; ++pad) {
                    EXPECT_EQ(bmp[54 + row * stride + pad], '\0');
                }
            }
            EXPECT_EQ(pixelsOf(bmp), pixelsOf(c.djpeg("", name))) << name;
        }
    }
}

// Grey goes through the one-pass quantiser, colour on an 8-bit display through the two-pass
// one. djpeg writes a full 256-entry table; the conversion writes only the decoder's colours.
TEST(Preobraz, GreyAndColourOnAnEightBitDisplayGetAtMost236ColoursAsDjpegQuantisesThem) {
    const struct {
        const char* name;
        bool grey;
        int depth;
        const char* djpeg;
    } cases[] = {{"grey.jpg", true, 24, "-colors 236 -onepass -dither fs"},
                 {"colour.jpg", false, 8, "-colors 236 -dither fs"}};
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        Conversion c;
        c.desktop.depth = row.depth;
        writeFile(c.photo(row.name), makeJpeg(61, 40, {.grey = row.grey}));
        const std::string bmp = readFile(c.convert(row.name));
        const std::string djpeg = c.djpeg(row.djpeg, row.name);
        const std::uint32_t colours = leAt(bmp, 46, 4);
        EXPECT_LE(colours, 236u);
        EXPECT_GT(colours, 2u);
        EXPECT_EQ(leAt(bmp, 28, 2), 8u);
        EXPECT_EQ(leAt(bmp, 10, 4), 54 + 4 * colours);
        EXPECT_EQ(bmp.size(), 54 + 4 * colours + 64 * 40) << "rows padded to four bytes";
        EXPECT_EQ(bmp.substr(54, 4 * colours), djpeg.substr(54, 4 * colours));
        EXPECT_EQ(pixelsOf(bmp), pixelsOf(djpeg));
    }
}

TEST(Preobraz, AFileCutShortConvertsWithoutAMessage) {
    Conversion c;
    for (const bool progressive : {false, true}) {
        const std::string jpeg = makeJpeg(64, 64, {.progressive = progressive});
        writeFile(c.photo("cut.jpg"), jpeg.substr(0, jpeg.size() * 2 / 3));
        const std::string bmp = readFile(c.convert("cut.jpg"));
        EXPECT_EQ(bmp.size(), 54 + 64 * 64 * 3u);
    }
    EXPECT_TRUE(c.desktop.dialogs.empty());
}

// A file that cannot be read, or whose header claims more than the picture check lets through,
// is reported and writes nothing; one whose scans would never end, too.
TEST(Preobraz, AnUnreadableOrTooCostlyFileIsReportedAndWritesNothing) {
    // A progressive file whose last scan comes again and again.
    const std::string progressive = makeJpeg(16, 16, {.progressive = true});
    const std::size_t lastScan = progressive.rfind("\xFF\xDA");
    const std::string scan = progressive.substr(lastScan, progressive.size() - 2 - lastScan);
    std::string scans = progressive.substr(0, progressive.size() - 2);
    for (int i = 0; i < 600; ++i) {
        scans += scan;
    }
    Conversion c;
    const struct {
        const char* name;
        std::optional<std::string> bytes; // none: no such file
        std::string error;
    } cases[] = {
        {"empty.jpg", "", jpegError(JERR_INPUT_EMPTY)},
        {"text.jpg", "just some text", jpegError(JERR_NO_SOI)},
        {"missing.jpg", std::nullopt,
         "Cannot open file \"" + c.photo("missing.jpg") + "\". " + missingFileReason()},
        {"huge.jpg", jpegClaiming(65000, 65000), jpegError(JERR_IMAGE_TOO_BIG)},
        {"wide.jpg", jpegClaiming(32768, 2), jpegError(JERR_IMAGE_TOO_BIG)},
        {"many.jpg", jpegClaiming(8193, 8192), jpegError(JERR_IMAGE_TOO_BIG)},
        {"scans.jpg", scans + "\xFF\xD9", jpegError(JERR_BAD_SCAN_SCRIPT)},
    };
    writeFile(c.photo("text.bmp"), "an earlier bitmap");
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        if (row.bytes) {
            writeFile(c.photo(row.name), *row.bytes);
        }
        c.desktop.dialogs.clear();
        EXPECT_EQ(c.convert(row.name), "");
        EXPECT_EQ(c.texts(),
                  std::vector<std::string>{conversionFailure(row.error, c.photo(row.name))});
        EXPECT_EQ(c.desktop.busy.back(), false);
    }
    EXPECT_EQ(readFile(c.photo("text.bmp")), "an earlier bitmap");
    EXPECT_EQ(namesIn(c.dir.path() / "photos"),
              (std::vector<std::string>{"empty.jpg", "huge.jpg", "many.jpg", "scans.jpg",
                                        "text.bmp", "text.jpg", "wide.jpg"}));
}

TEST(Preobraz, AFailedWriteIsReportedAndKeepsTheEarlierBitmap) {
    Conversion c;
    writeFile(c.photo("a.jpg"), makeJpeg(16, 16));
    std::filesystem::create_directory(c.photo("a.bmp")); // the target itself is a folder
    EXPECT_EQ(c.convert("a.jpg"), "");

    // Whatever lies at a name that a write once used for its temporary stays as it was.
    writeFile(c.photo("b.jpg"), makeJpeg(16, 16));
    writeFile(c.photo("b.bmp"), "an earlier bitmap");
    std::filesystem::create_directory(c.photo("b.bmp.tmp"));
    EXPECT_EQ(c.convert("b.jpg"), c.photo("b.bmp"));

    // Made read-only as each system does it: no write bits, or the read-only attribute.
    namespace fs = std::filesystem;
    writeFile(c.photo("d.jpg"), makeJpeg(16, 16));
    writeFile(c.photo("d.bmp"), "an earlier bitmap");
    fs::permissions(c.photo("d.bmp"),
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_EQ(c.convert("d.jpg"), "");
    fs::permissions(c.photo("d.bmp"), fs::perms::owner_write, fs::perm_options::add);

    EXPECT_EQ(c.texts(), (std::vector<std::string>{
                             conversionFailure(folderInTheWayMessage(), c.photo("a.jpg")),
                             conversionFailure("File access denied", c.photo("d.jpg"))}));
    EXPECT_TRUE(fs::is_directory(c.photo("a.bmp")));
    EXPECT_EQ(readFile(c.photo("b.bmp")).substr(0, 2), "BM");
    EXPECT_TRUE(fs::is_directory(c.photo("b.bmp.tmp")));
    EXPECT_EQ(readFile(c.photo("d.bmp")), "an earlier bitmap");
    EXPECT_EQ(namesIn(c.dir.path() / "photos"),
              (std::vector<std::string>{"a.bmp", "a.jpg", "b.bmp", "b.bmp.tmp", "b.jpg", "d.bmp",
                                        "d.jpg"}))
        << "a temporary stayed behind";
}

// A started program, showing image/1.bmp.
struct Program : test::Program<> {
    Program() { start(); }
};

TEST(SpeedButton1Click, OpensThePictureFolderAndCancellingChangesNothing) {
    Program program;
    raiseThroughATick(program.form);
    program.choose({});
    ASSERT_EQ(program.desktop.openDialogs.size(), 1u);
    const OpenDialogModel& dialog = program.desktop.openDialogs[0];
    EXPECT_EQ(dialog.title, "Выберите файл картинки");
    EXPECT_EQ(dialog.initialFolder, program.image(""));
    EXPECT_EQ(dialog.fileName, program.image("*.bmp;*.jpg;*.jpeg"));
    EXPECT_EQ(dialog.filterLabel, "Файлы картинок *.bmp;*.jpg;*.jpeg");
    EXPECT_EQ(dialog.filterPatterns, "*.bmp;*.jpg;*.jpeg");
    EXPECT_EQ(program.desktop.levelsDuringOpenDialogs,
              std::vector<WindowLevel>{WindowLevel::Normal});
    EXPECT_EQ(program.desktop.level, WindowLevel::Topmost);
    EXPECT_EQ(program.form.state.ImagePath, program.image("1.bmp"));
    EXPECT_EQ(program.form.state.Changed, 0);
}

TEST(SpeedButton1Click, APictureInThePictureFolderIsTakenFromThereAndAJpegConvertedAndCopiedIn) {
    Program program;
    writeFile(program.image("wide.bmp"), bmp24(300, 200));
    // Another form of the same file's path: still no question and no copy.
    program.choose({program.dir.dir() + "photos/../image/wide.bmp"});
    EXPECT_EQ(program.desktop.openDialogs.size(), 1u);
    EXPECT_EQ(program.form.state.ImagePath, program.image("wide.bmp"));
    EXPECT_EQ(program.form.state.Changed, 1);
    EXPECT_EQ(program.form.state.Inset, 150);
    EXPECT_EQ(program.form.state.InsetMax, 150);
    EXPECT_TRUE(program.desktop.pictureVisible);
    EXPECT_EQ(program.desktop.window, (WindowBounds{10, 20, 300, 200}));
    EXPECT_EQ(program.desktop.panel, (Point{110, 56}));
    EXPECT_EQ(program.desktop.level, WindowLevel::Topmost);

    writeFile(program.photo("sea.jpg"), makeJpeg(120, 110));
    program.choose({program.photo("sea.jpg")});
    ASSERT_TRUE(std::filesystem::exists(program.photo("sea.bmp")));
    EXPECT_EQ(readFile(program.image("sea.bmp")), readFile(program.photo("sea.bmp")));
    EXPECT_EQ(program.form.state.ImagePath, program.image("sea.bmp"));
    EXPECT_EQ(program.desktop.picture, (Size{120, 110}));
    EXPECT_EQ(program.texts(), std::vector<std::string>{});
}

TEST(SpeedButton1Click, AnExistingCopyIsReplacedOnlyOnOk) {
    for (const ModalResult answer : {ModalResult::OK, ModalResult::No, ModalResult::Cancel}) {
        Program program;
        writeFile(program.image("sea.bmp"), bmp24(150, 150, 1, 2, 3));
        writeFile(program.photo("sea.bmp"), bmp24(160, 150, 4, 5, 6));
        program.desktop.answers = {answer};
        program.choose({program.photo("sea.bmp")});
        ASSERT_EQ(program.texts().size(), 1u);
        EXPECT_EQ(program.texts()[0], "Confirm: Файл картинки:\n" + program.image("sea.bmp") +
                                          "\nимеется.\nОбновить файл?\n");
        EXPECT_EQ(program.desktop.dialogs[0].buttons.front().result, ModalResult::No);
        EXPECT_EQ(readFile(program.image("sea.bmp")),
                  answer == ModalResult::OK ? bmp24(160, 150, 4, 5, 6) : bmp24(150, 150, 1, 2, 3));
        EXPECT_EQ(program.form.state.ImagePath, program.image("sea.bmp"));
        EXPECT_TRUE(std::filesystem::exists(program.photo("sea.bmp")));
    }
}

// A picture that cannot be loaded ends in the error box, its copy kept; a failed copy is reported.
// Either ends the handler without asking again, and leaves the program as it was.
TEST(SpeedButton1Click, AFailedCopyOrAPictureThatCannotBeLoadedEndsTheHandler) {
    Program program;
    writeFile(program.photo("fake.bmp"), "not a bitmap");
    writeFile(program.photo("other.bmp"), bmp24(150, 150));
    program.choose({program.photo("fake.bmp")});
    EXPECT_TRUE(std::filesystem::exists(program.image("fake.bmp")));
    std::filesystem::remove_all(program.dir.path() / "image");
    program.choose({program.photo("other.bmp")});
    EXPECT_EQ(program.texts(),
              (std::vector<std::string>{copyFailure(missingFolderCopyError()),
                                        "error box kivo: Bitmap image is not valid."}));
    EXPECT_EQ(program.desktop.openDialogs.size(), 2u);
    program.expectUnchanged();
}

// A file whose conversion fails, or a picture under 100 x 100, is refused and the dialog opens
// again: the previous picture comes back, and the next choice is taken.
TEST(SpeedButton1Click, ARefusedChoiceOpensTheDialogAgainAndThePreviousPictureComesBack) {
    Program program;
    writeFile(program.photo("broken.jpg"), "not a picture");
    writeFile(program.photo("narrow.bmp"), bmp24(99, 300));
    writeFile(program.photo("low.bmp"), bmp24(300, 99));
    writeFile(program.photo("least.bmp"), bmp24(100, 100));
    program.choose(
        {program.photo("broken.jpg"), program.photo("narrow.bmp"), program.photo("low.bmp")});
    EXPECT_EQ(program.texts(),
              (std::vector<std::string>{
                  conversionFailure(jpegError(JERR_NO_SOI), program.photo("broken.jpg")),
                  tooSmall("99x300"), tooSmall("300x99")}));
    EXPECT_EQ(program.desktop.openDialogs.size(), 4u);
    EXPECT_TRUE(std::filesystem::exists(program.image("narrow.bmp")));
    program.expectUnchanged();

    program.choose({program.photo("least.bmp")});
    EXPECT_EQ(program.form.state.ImagePath, program.image("least.bmp"));
    EXPECT_EQ(program.texts().size(), 3u);
}

// Esc gives OK for these buttons, the close box Cancel. Abort brings the previous picture back,
// converting a JPEG again, and asks again.
TEST(SpeedButton1Click, ATooLargePictureIsTakenUnlessTheAnswerIsAbort) {
    const std::string question =
        "Information: Размер, выбранной картинки, превышает размер Вашего дисплея!\nВы выбрали "
        "картинку размером: 400x200\nРазмер Вашего дисплея 320x240\nПредлагаю выбрать другую "
        "картинку.\nОднако, Вы можете:\nПринять выбранную - OK\nВыбрать другую - Abort\n";
    for (const ModalResult answer : {ModalResult::OK, ModalResult::Cancel, ModalResult::Abort}) {
        Program program;
        program.form.state.ScreenWidth = 320;
        program.form.state.ScreenHeight = 240;
        writeFile(program.photo("wide.bmp"), bmp24(400, 200));
        writeFile(program.photo("old.jpg"), makeJpeg(130, 120));
        program.form.state.ImagePath = program.photo("old.jpg");
        program.desktop.answers = {answer};
        program.choose({program.photo("wide.bmp")});
        EXPECT_EQ(program.texts(), std::vector<std::string>{question});
        if (answer != ModalResult::Abort) {
            EXPECT_EQ(program.form.state.ImagePath, program.image("wide.bmp"));
            EXPECT_EQ(program.desktop.window, (WindowBounds{10, 20, 400, 200}));
            continue;
        }
        EXPECT_EQ(program.desktop.openDialogs.size(), 2u);
        EXPECT_EQ(program.form.state.ImagePath, program.photo("old.bmp"));
        EXPECT_EQ(program.desktop.picturePath, program.photo("old.bmp"));

        // Without a previous picture, the folder's start picture.
        writeFile(program.image("start.bmp"), bmp24(140, 140));
        program.form.state.ImagePath.clear();
        program.desktop.answers = {ModalResult::Abort};
        program.choose({program.image("wide.bmp")});
        EXPECT_EQ(program.desktop.picturePath, program.image("start.bmp"));
        EXPECT_EQ(program.form.state.ImagePath, "");
        EXPECT_EQ(program.form.state.Changed, 0);
        EXPECT_EQ(program.desktop.level, WindowLevel::Normal);
    }
}

} // namespace
} // namespace kivo
