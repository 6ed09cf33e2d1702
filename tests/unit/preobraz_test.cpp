#include "core/window/form_kivo.h"
#include "fake_desktop.h"
#include "jpeg_maker.h"
#include "system_texts.h"
#include "temp_files.h"

#include <jerror.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace kivo {
namespace {

using test::FakeDesktop;
using test::jpegClaiming;
using test::leAt;
using test::makeJpeg;
using test::readFile;
using test::TempDir;
using test::writeFile;

std::string pixelsOf(const std::string& bmp) {
    return bmp.substr(leAt(bmp, 10, 4));
}

// A folder of pictures, and the form that converts them.
struct Conversion {
    TempDir dir;
    FakeDesktop desktop;
    TFormKivo form{desktop};

    std::string path(const std::string& name) const { return (dir.path() / name).string(); }
    std::string convert(const std::string& name) { return form.preobraz(path(name)); }
    // The message a failed conversion of `name` shows.
    std::string note(const std::string& error, const std::string& name) const {
        return displayText("Ошибка: " + error + "\n\r" + "преобразования файла:\n\r" + path(name));
    }
    std::string djpeg(const std::string& options, const std::string& name) const {
        const std::string out = path(name + ".djpeg.bmp");
        const std::string command =
            "djpeg -bmp " + options + " -outfile \"" + out + "\" \"" + path(name) + "\"";
        // Under load Wine now and then fails to start the shell at all (-1): once more then.
        int status = std::system(command.c_str());
        if (status == -1) {
            status = std::system(command.c_str());
        }
        EXPECT_EQ(status, 0) << command;
        return readFile(out);
    }
};

TEST(Preobraz, HandsBackAnythingButJpgAndJpegUnchecked) {
    Conversion c;
    for (const char* name : {"photo.jpe", "photo.png", "photo", "photo.jpg.png", "my.jpg/photo"}) {
        EXPECT_EQ(c.convert(name), c.path(name));
    }
    EXPECT_TRUE(c.desktop.busy.empty());
    EXPECT_TRUE(c.desktop.dialogs.empty());
}

TEST(Preobraz, ReplacesTheExtensionFromTheLastDotWithBmp) {
    Conversion c;
    for (const auto& [jpeg, bmp] :
         std::initializer_list<std::pair<const char*, const char*>>{{"PHOTO.JPG", "PHOTO.bmp"},
                                                                    {"a.bmp.jpg", "a.bmp.bmp"},
                                                                    {"Sea.JPEG", "Sea.bmp"},
                                                                    {"mixed.JpEg", "mixed.bmp"}}) {
        writeFile(c.path(jpeg), makeJpeg(8, 8));
        EXPECT_EQ(c.convert(jpeg), c.path(bmp));
        EXPECT_EQ(readFile(c.path(bmp)).substr(0, 2), "BM");
    }
    EXPECT_EQ(c.desktop.busy,
              (std::vector<bool>{true, false, true, false, true, false, true, false}));
    EXPECT_TRUE(c.desktop.dialogs.empty());
    EXPECT_EQ(test::namesIn(c.dir.path()).size(), 8u) << "a temporary stayed behind";
}

TEST(Preobraz, ColourGives24BitRowsPaddedToFourBytesAsDjpegDecodesThem) {
    Conversion c;
    for (const int width : {3, 5, 64}) {
        for (const bool progressive : {false, true}) {
            const std::string name =
                "c" + std::to_string(width) + (progressive ? "p" : "") + ".jpg";
            writeFile(c.path(name), makeJpeg(width, 7, {.progressive = progressive}));
            const std::string bmp = readFile(c.convert(name));
            const std::uint32_t stride = (width * 3 + 3) / 4 * 4;
            ASSERT_EQ(bmp.size(), 54 + stride * 7);
            // A plain bottom-up bitmap's header, without resolution or palette.
            EXPECT_EQ(bmp.substr(0, 38), test::bmp24(width, 7).substr(0, 38));
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
        writeFile(c.path(row.name), makeJpeg(61, 40, {.grey = row.grey}));
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
        writeFile(c.path("cut.jpg"), jpeg.substr(0, jpeg.size() * 2 / 3));
        const std::string bmp = readFile(c.convert("cut.jpg"));
        EXPECT_EQ(bmp.size(), 54 + 64 * 64 * 3u);
    }
    EXPECT_TRUE(c.desktop.dialogs.empty());
}

TEST(Preobraz, AnUnreadableFileIsReportedAndWritesNothing) {
    Conversion c;
    writeFile(c.path("empty.jpg"), "");
    writeFile(c.path("text.jpg"), "just some text");
    writeFile(c.path("text.bmp"), "an earlier bitmap");

    EXPECT_EQ(c.convert("empty.jpg"), "");
    EXPECT_EQ(c.convert("text.jpg"), "");
    EXPECT_EQ(c.convert("missing.jpg"), "");
    ASSERT_EQ(c.desktop.dialogs.size(), 3u);
    EXPECT_EQ(c.desktop.dialogs[0].text,
              c.note("JPEG error #" + std::to_string(JERR_INPUT_EMPTY), "empty.jpg"));
    EXPECT_EQ(c.desktop.dialogs[1].text,
              c.note("JPEG error #" + std::to_string(JERR_NO_SOI), "text.jpg"));
    EXPECT_EQ(c.desktop.dialogs[2].text, c.note("Cannot open file \"" + c.path("missing.jpg") +
                                                    "\". " + test::missingFileReason(),
                                                "missing.jpg"));
    EXPECT_EQ(c.desktop.busy.back(), false);

    EXPECT_FALSE(std::filesystem::exists(c.path("empty.bmp")));
    EXPECT_EQ(readFile(c.path("text.bmp")), "an earlier bitmap");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(c.dir.path()), {}), 3);
}

TEST(Preobraz, AFailedWriteIsReportedAndKeepsTheEarlierBitmap) {
    Conversion c;
    writeFile(c.path("a.jpg"), makeJpeg(16, 16));
    std::filesystem::create_directory(c.path("a.bmp")); // the target itself is a folder
    EXPECT_EQ(c.convert("a.jpg"), "");

    // Whatever lies at a name that a write once used for its temporary stays as it was.
    writeFile(c.path("b.jpg"), makeJpeg(16, 16));
    writeFile(c.path("b.bmp"), "an earlier bitmap");
    std::filesystem::create_directory(c.path("b.bmp.tmp"));
    EXPECT_EQ(c.convert("b.jpg"), c.path("b.bmp"));

    // Made read-only as each system does it: no write bits, or the read-only attribute.
    namespace fs = std::filesystem;
    writeFile(c.path("d.jpg"), makeJpeg(16, 16));
    writeFile(c.path("d.bmp"), "an earlier bitmap");
    fs::permissions(c.path("d.bmp"),
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_EQ(c.convert("d.jpg"), "");
    fs::permissions(c.path("d.bmp"), fs::perms::owner_write, fs::perm_options::add);

    ASSERT_EQ(c.desktop.dialogs.size(), 2u);
    EXPECT_EQ(c.desktop.dialogs[0].text, c.note(test::folderInTheWayMessage(), "a.jpg"));
    EXPECT_EQ(c.desktop.dialogs[1].text, c.note("File access denied", "d.jpg"));
    EXPECT_TRUE(fs::is_directory(c.path("a.bmp")));
    EXPECT_EQ(readFile(c.path("b.bmp")).substr(0, 2), "BM");
    EXPECT_TRUE(fs::is_directory(c.path("b.bmp.tmp")));
    EXPECT_EQ(readFile(c.path("d.bmp")), "an earlier bitmap");
    EXPECT_EQ(test::namesIn(c.dir.path()),
              (std::vector<std::string>{"a.bmp", "a.jpg", "b.bmp", "b.bmp.tmp", "b.jpg", "d.bmp",
                                        "d.jpg"}))
        << "a temporary stayed behind";
}

TEST(Preobraz, RefusesFilesThatWouldCostTooMuchToDecode) {
    Conversion c;
    // Headers claiming more than the picture check lets through: 65000 x 65000, one side
    // over 32767, and 8193 x 8192 pixels.
    const char* const huge[] = {"huge.jpg", "wide.jpg", "many.jpg"};
    writeFile(c.path(huge[0]), jpegClaiming(65000, 65000));
    writeFile(c.path(huge[1]), jpegClaiming(32768, 2));
    writeFile(c.path(huge[2]), jpegClaiming(8193, 8192));

    // A progressive file whose last scan comes again and again.
    const std::string progressive = makeJpeg(16, 16, {.progressive = true});
    const std::size_t lastScan = progressive.rfind("\xFF\xDA");
    const std::string scan = progressive.substr(lastScan, progressive.size() - 2 - lastScan);
    std::string scans = progressive.substr(0, progressive.size() - 2);
    for (int i = 0; i < 600; ++i) {
        scans += scan;
    }
    writeFile(c.path("scans.jpg"), scans + "\xFF\xD9");

    for (const char* name : huge) {
        EXPECT_EQ(c.convert(name), "") << name;
    }
    EXPECT_EQ(c.convert("scans.jpg"), "");
    ASSERT_EQ(c.desktop.dialogs.size(), 4u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(c.desktop.dialogs[i].text,
                  c.note("JPEG error #" + std::to_string(JERR_IMAGE_TOO_BIG), huge[i]));
    }
    EXPECT_EQ(c.desktop.dialogs[3].text,
              c.note("JPEG error #" + std::to_string(JERR_BAD_SCAN_SCRIPT), "scans.jpg"));
    // Refused before decoding: nothing is written for them.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(c.dir.path()), {}), 4);
}

} // namespace
} // namespace kivo
