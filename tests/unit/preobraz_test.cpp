#include "core/window/form_kivo.h"
#include "fake_desktop.h"
#include "jpeg_maker.h"
#include "program.h"
#include "system_texts.h"
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

std::string jpegError(int code) {
    return "JPEG error #" + std::to_string(code);
}

std::string pixelsOf(const std::string& bmp) {
    return bmp.substr(leAt(bmp, 10, 4));
}

// The program's form, converting the pictures in its folder of photos.
struct Conversion : Program<> {
    std::string convert(const std::string& name) { return form.preobraz(photo(name)); }
    // The message a failed conversion of `name` shows.
    std::string note(const std::string& error, const std::string& name) const {
        return displayText("Ошибка: " + error + "\n\r" + "преобразования файла:\n\r" + photo(name));
    }
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
    for (const auto& [jpeg, bmp] :
         std::initializer_list<std::pair<const char*, const char*>>{{"PHOTO.JPG", "PHOTO.bmp"},
                                                                    {"a.bmp.jpg", "a.bmp.bmp"},
                                                                    {"Sea.JPEG", "Sea.bmp"},
                                                                    {"mixed.JpEg", "mixed.bmp"}}) {
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
        ASSERT_EQ(c.desktop.dialogs.size(), 1u);
        EXPECT_EQ(c.desktop.dialogs[0].text, c.note(row.error, row.name));
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

    ASSERT_EQ(c.desktop.dialogs.size(), 2u);
    EXPECT_EQ(c.desktop.dialogs[0].text, c.note(folderInTheWayMessage(), "a.jpg"));
    EXPECT_EQ(c.desktop.dialogs[1].text, c.note("File access denied", "d.jpg"));
    EXPECT_TRUE(fs::is_directory(c.photo("a.bmp")));
    EXPECT_EQ(readFile(c.photo("b.bmp")).substr(0, 2), "BM");
    EXPECT_TRUE(fs::is_directory(c.photo("b.bmp.tmp")));
    EXPECT_EQ(readFile(c.photo("d.bmp")), "an earlier bitmap");
    EXPECT_EQ(namesIn(c.dir.path() / "photos"),
              (std::vector<std::string>{"a.bmp", "a.jpg", "b.bmp", "b.bmp.tmp", "b.jpg", "d.bmp",
                                        "d.jpg"}))
        << "a temporary stayed behind";
}

} // namespace
} // namespace kivo
