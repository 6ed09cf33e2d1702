// Hostile and unlucky inputs: files that vanish, lie about their size or are garbage.
#include "core/picture/bitmap_check.h"
#include "core/text.h"
#include "core/window/form_kivo.h"
#include "fake_desktop.h"
#include "jpeg_maker.h"
#include "program.h"
#include "system_own.h"
#include "temp_files.h"

#include <jerror.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kivo {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using namespace std::string_literals; // texts with NUL bytes inside
using namespace test;

// A fake desktop whose file dialog can hand back a file that is gone by the time the program
// reads it, as when another program moves it away in between.
class VanishingDesktop : public FakeDesktop {
  public:
    bool removeChosen = false;

    std::optional<std::string> runOpenDialog(const OpenDialogModel& model) override {
        std::optional<std::string> chosen = FakeDesktop::runOpenDialog(model);
        if (chosen && removeChosen) {
            fs::remove(*chosen);
        }
        return chosen;
    }
};

using Program = test::Program<VanishingDesktop>;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif
#else
constexpr bool kAddressSanitizer = false;
#endif

// Memory a refused picture may cost beyond what the process had; the sanitizer's own
// bookkeeping takes more.
constexpr long kExtraMemoryKib = (kAddressSanitizer ? 64 : 16) * 1024;

// Refusing a lying header takes a moment and next to no memory; the measures go into the
// test's report.
void expectCheap(const Outcome& outcome) {
    EXPECT_LT(outcome.took, 2s);
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(outcome.took);
    testing::Test::RecordProperty("milliseconds", static_cast<int>(took.count()));
    if (outcome.extraMemoryKib) {
        EXPECT_LT(*outcome.extraMemoryKib, kExtraMemoryKib);
        testing::Test::RecordProperty("extra_memory_kib",
                                      static_cast<int>(*outcome.extraMemoryKib));
    }
}

std::string joined(const std::vector<std::string>& texts) {
    std::string all;
    for (const std::string& text : texts) {
        all += text + "\n--\n";
    }
    return all;
}

// A picture taken away between the file dialog and the import never costs the copy already in
// the picture folder, and is reported as a copy or conversion failure.
TEST(VanishingPicture, IsAFailedCopyOrConversionAndNeverCostsTheCopyInThePictureFolder) {
    const struct {
        const char* what;
        std::function<std::string(Program&)> prepare; // lays out the files, gives the chosen
        std::function<void(Program&)> expect;
    } cases[] = {
        {"a bitmap gone before the copy",
         [](Program& p) {
             writeFile(p.photo("sea.bmp"), bmp24(150, 150));
             return p.photo("sea.bmp");
         },
         [](Program& p) {
             EXPECT_EQ(p.texts(), std::vector<std::string>{copyFailure(2)});
             EXPECT_EQ(p.desktop.openDialogs.size(), 1u);
             EXPECT_FALSE(fs::exists(p.image("sea.bmp")));
         }},
        {"one in the picture folder itself",
         [](Program& p) {
             writeFile(p.image("sea.bmp"), bmp24(150, 150));
             return p.image("sea.bmp");
         },
         [](Program& p) { EXPECT_EQ(p.texts(), std::vector<std::string>{copyFailure(2)}); }},
        {"one replacing a copy, which stays",
         [](Program& p) {
             writeFile(p.image("sea.bmp"), bmp24(150, 150, 1, 2, 3));
             writeFile(p.photo("sea.bmp"), bmp24(160, 150));
             p.desktop.answers = {ModalResult::OK};
             return p.photo("sea.bmp");
         },
         [](Program& p) {
             ASSERT_EQ(p.texts().size(), 2u);
             EXPECT_EQ(p.texts()[1], copyFailure(2));
             EXPECT_EQ(readFile(p.image("sea.bmp")), bmp24(150, 150, 1, 2, 3));
         }},
        {"a JPEG gone before the conversion, and the dialog opens again",
         [](Program& p) {
             writeFile(p.photo("sea.jpg"), makeJpeg(120, 120));
             return p.photo("sea.jpg");
         },
         [](Program& p) {
             EXPECT_EQ(p.texts(), std::vector<std::string>{
                                      conversionFailure("Cannot open file \"" + p.photo("sea.jpg") +
                                                            "\". " + missingFileReason(),
                                                        p.photo("sea.jpg"))});
             EXPECT_EQ(p.desktop.openDialogs.size(), 2u);
             EXPECT_FALSE(fs::exists(p.photo("sea.bmp")));
             EXPECT_FALSE(fs::exists(p.image("sea.bmp")));
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Program program;
        program.start();
        program.desktop.removeChosen = true;
        program.choose({c.prepare(program)});
        c.expect(program);
        program.expectUnchanged();
    }
}

// Headers that claim far more pixels than the file holds are refused from the header alone:
// the work may take 512 MiB more address space at most and must not need more than a few MiB.
// A file that is no bitmap at all leaves the design-time state the same way.
TEST(LyingHeaders, ABitmapOf60000By60000IsAsInvalidAsNoBitmapAndAllocatesNothing) {
    const std::pair<std::string, std::string> claims[] = {
        {"24 bits", bmpClaiming(60000, 60000, 24, 0)},
        {"24 bits, rows top-down", bmpClaiming(60000, -60000, 24, 0)},
        {"8 bits, run-length", bmpClaiming(60000, 60000, 8, 1)},
        {"32 bits, bit fields", bmpClaiming(60000, 60000, 32, 3)},
        {"no bitmap at all", "GIF89a not a bitmap at all"},
    };
    for (const auto& [what, bytes] : claims) {
        SCOPED_TRACE(what);
        Program program;
        writeFile(program.image("1.bmp"), bytes);
        const Outcome outcome = runCapped([&] {
            program.start();
            return joined(program.texts()) + "picture: " + program.desktop.picturePath +
                   ", inset " + std::to_string(program.form.state.InsetMax);
        });
        EXPECT_EQ(outcome.said,
                  "error box kivo: Bitmap image is not valid.\n--\npicture: , inset 0");
        expectCheap(outcome);
    }
}

// Both of the conversion's modes, for 24 and for 8 bits: a JPEG of 1 x 1 converts and is then
// refused as too small; one whose header claims 20000 x 20000 is refused before decoding.
TEST(JpegSizes, OneOf1By1IsRefusedAsTooSmallAndOneClaiming20000By20000BeforeDecoding) {
    for (const int depth : {24, 8}) {
        SCOPED_TRACE("display depth " + std::to_string(depth));
        Program program;
        program.start();
        program.desktop.depth = depth;
        writeFile(program.photo("dot.jpg"), makeJpeg(1, 1));
        program.choose({program.photo("dot.jpg")});
        ASSERT_TRUE(fs::exists(program.photo("dot.bmp")));
        EXPECT_NO_THROW(checkBitmapFile(program.photo("dot.bmp")));
        EXPECT_EQ(readFile(program.image("dot.bmp")), readFile(program.photo("dot.bmp")));
        EXPECT_EQ(program.texts(), std::vector<std::string>{tooSmall("1x1")});
        EXPECT_EQ(program.desktop.openDialogs.size(), 2u);
        program.expectUnchanged();

        program.desktop.dialogs.clear();
        program.desktop.openDialogs.clear();
        writeFile(program.photo("huge.jpg"), jpegClaiming(20000, 20000));
        const Outcome outcome = runCapped([&] {
            program.choose({program.photo("huge.jpg")});
            return joined(program.texts()) + std::to_string(program.desktop.openDialogs.size()) +
                   " dialogs";
        });
        EXPECT_EQ(outcome.said,
                  conversionFailure(jpegError(JERR_IMAGE_TOO_BIG), program.photo("huge.jpg")) +
                      "\n--\n2 dialogs");
        expectCheap(outcome);
        EXPECT_FALSE(fs::exists(program.photo("huge.bmp")));
        EXPECT_FALSE(fs::exists(program.image("huge.bmp")));
    }
}

// Start-up reads whatever is in the settings file without crashing; lines that are no keys
// change nothing, and neither does a NUL inside a key or after "true".
TEST(DamagedSettings, GarbageAndKeysWithNulBytesChangeNothing) {
    // Every byte but "=", which every key ends in, and byte 26, which would end the file early.
    std::string garbage(10 << 20, '\0');
    std::uint32_t noise = 2463534242u;
    for (char& byte : garbage) {
        noise ^= noise << 13;
        noise ^= noise >> 17;
        noise ^= noise << 5;
        byte = static_cast<char>(noise % 256);
        if (byte == '=' || byte == '\x1A') {
            byte = '\n';
        }
    }
    std::string oneLine = garbage;
    std::replace(oneLine.begin(), oneLine.end(), '\n', 'x');
    std::replace(oneLine.begin(), oneLine.end(), '\r', 'x');

    for (const auto& [what, bytes] :
         {std::pair{"ten megabytes of lines", garbage},
          std::pair{"ten megabytes in one line", oneLine},
          std::pair{"NUL bytes in keys", "\0Vid=1\r\nVi\0d=0\r\nflpv=true\0\r\n"s}}) {
        SCOPED_TRACE(what);
        Program program;
        program.writeSettings(bytes);
        const auto start = std::chrono::steady_clock::now();
        program.start();
        EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
        EXPECT_EQ(program.texts(), std::vector<std::string>{});
        EXPECT_EQ(program.form.state.Vid, 2);
        EXPECT_EQ(program.form.state.Flpv, 0);
        program.expectUnchanged();
    }
}

// A box shows the start of a ten-megabyte value: it must fit the screen and open at once.
TEST(DamagedSettings, AHugeValueIsShownShortened) {
    const std::string digits(10 << 20, '7');
    for (const std::string& line : {"Formkivo.left=x" + digits, "Image=" + digits}) {
        Program program;
        program.writeSettings(line + "\r\n");
        program.start();
        ASSERT_EQ(program.desktop.errorBoxes.size(), 1u);
        const std::string& text = program.desktop.errorBoxes[0].second;
        EXPECT_LE(std::count_if(text.begin(), text.end(), startsCharacter),
                  kShownCharacters + kShownCharacters / kLongestUnbrokenRun + 3);
        EXPECT_NE(text.find("…"), std::string::npos);
        EXPECT_EQ(text.back(), '.') << "the message's end shows";
    }
}

// Lone carriage returns join the lines: the first one is all the picture's path, which names no
// file. The lines after it still apply, and the picture keeps its design-time state.
TEST(DamagedSettings, LoneCarriageReturnsMakeOneLineWhosePathNamesNoPicture) {
    Program program;
    program.writeSettings("Image=" + program.image("1.bmp") +
                          "\rFormkivo.left=5\rVid=1\r\r\nFormkivo.top=30\r\n");
    program.start();
    const std::string path = program.image("1.bmp") + "Formkivo.left=5Vid=1";
    EXPECT_EQ(
        program.texts(),
        std::vector<std::string>{"error box kivo: " + errorBoxText("Cannot open file \"" + path +
                                                                   "\". " + missingFileReason())});
    EXPECT_EQ(program.form.state.ImagePath, path);
    EXPECT_EQ(program.form.state.Vid, 2);
    EXPECT_EQ(program.desktop.window, (WindowBounds{10, 30, 280, 279}));
    EXPECT_EQ(program.desktop.panel, (Point{102, 96}));
    EXPECT_EQ(program.form.state.Inset, 0);
    EXPECT_EQ(program.form.state.InsetMax, 0);
    EXPECT_TRUE(program.desktop.picturePath.empty());
}

// A bad number stops the reading: what came before it stays, and a window it leaves off the
// screen still comes on it; what follows and the picture do not come. The message names the bad
// value whole: a NUL, which would cut it short, shows as U+FFFD.
TEST(DamagedSettings, ABadNumberStopsTheReadingAndANulInItShowsAsAReplacementCharacter) {
    Program program;
    program.writeSettings(
        "Formkivo.left=-9000\r\nVid=1\r\nFormkivo.top=1\0\r\nFormkivo.width=500\r\n"
        "flpv=true\r\n"s);
    program.start();
    EXPECT_EQ(program.texts(),
              std::vector<std::string>{"error box kivo: '1�' is not a valid integer value."});
    EXPECT_EQ(program.desktop.window, (WindowBounds{0, 20, 280, 279}));
    EXPECT_EQ(program.form.state.Vid, 1);
    EXPECT_EQ(program.form.state.Flpv, 0);
    EXPECT_TRUE(program.desktop.picturePath.empty());
}

TEST(DamagedSettings, ANulByteEndsThePicturesPath) {
    // No file name holds a NUL: what follows it must neither be kept nor name another file.
    Program program;
    const std::string picture = program.image("1.bmp");
    program.writeSettings("Image=" + picture + "\0.jpg\r\nVid=1\r\n"s);
    program.start();
    EXPECT_EQ(program.texts(), std::vector<std::string>{});
    EXPECT_EQ(program.form.state.ImagePath, picture);
    EXPECT_EQ(program.desktop.picturePath, picture);
    EXPECT_EQ(program.form.state.Vid, 1);
}

} // namespace
} // namespace kivo
