#include "files.h"
#include "image.h"
#include "jpeg_maker.h"
#include "kivo_test.h"
#include "temp_files.h"
#include "wait.h"

#include <jerror.h>
#include <sys/stat.h>

#include <algorithm>
#include <iostream>
#include <optional>

namespace kivo::e2e {
namespace {

namespace fs = std::filesystem;
using test::bmpFile;
using test::infoHeader;
using test::le;
using namespace std::chrono_literals;

// The program on either system stays within this much resident memory, unless its picture
// alone takes more.
constexpr long kMaxResidentMiB = 160;
// Pictures are 120 x 240: these points of the window show the picture clear of the controls.
constexpr int kAboveY = 60;
constexpr int kPictureWidth = 120;
constexpr int kPictureHeight = 240;
constexpr Rgb kRed{200, 40, 30};
constexpr Rgb kBlue{30, 60, 190};
constexpr Rgb kTeal{20, 150, 140};

std::string repeated(const std::string& bytes, int times) {
    std::string all;
    for (int i = 0; i < times; ++i) {
        all += bytes;
    }
    return all;
}

// `bytes` with a 32-bit field overwritten.
std::string patched(std::string bytes, std::size_t offset, std::uint32_t value) {
    return bytes.replace(offset, 4, le(value, 4));
}

// 32 bits a pixel with an alpha mask, every alpha 0: the system shows such pictures opaque.
std::string transparentBmp() {
    const std::string pixels = repeated(bgr(kRed) + '\0', kPictureWidth * kPictureHeight);
    const std::string masks =
        le(0x00FF0000, 4) + le(0x0000FF00, 4) + le(0x000000FF, 4) + le(0xFF000000, 4);
    const std::string info =
        infoHeader(108, kPictureWidth, kPictureHeight, 32, 3, pixels.size(), 0) + masks;
    // Colour space, end points and gammas: none.
    return bmpFile(info + std::string(108 - info.size(), '\0'), "", pixels);
}

// Rows stored from the top (a negative height): red above, blue below.
std::string topDownBmp() {
    const int half = kPictureWidth * kPictureHeight / 2;
    const std::string pixels = repeated(bgr(kRed), half) + repeated(bgr(kBlue), half);
    return bmpFile(infoHeader(40, kPictureWidth, -kPictureHeight, 24, 0, pixels.size(), 0), "",
                   pixels);
}

// An OS/2 bitmap: a 12-byte header and a palette of three-byte entries, every pixel entry 1.
std::string os2Bmp() {
    const std::string palette = bgr({}) + bgr(kTeal) + repeated(bgr({}), 254);
    const std::string info =
        le(12, 4) + le(kPictureWidth, 2) + le(kPictureHeight, 2) + le(1, 2) + le(8, 2);
    return bmpFile(info, palette, std::string(kPictureWidth * kPictureHeight, '\1'));
}

// A side of 6000 in a small file: run-length coded, one colour.
std::string hugeRleBmp() {
    constexpr int kSide = 6000;
    std::string row;
    for (int left = kSide; left > 0; left -= 255) {
        row += {static_cast<char>(std::min(left, 255)), '\0'};
    }
    row += {'\0', '\0'}; // end of line
    const std::string endOfPicture{'\0', '\1'};
    const std::string pixels = repeated(row, kSide) + endOfPicture;
    return bmpFile(infoHeader(40, kSide, kSide, 8, 1, pixels.size(), 1), bgr(kTeal) + '\0', pixels);
}

// The message of a box, or its start: then the system's own words follow, or an ellipsis
// where the program shortened it.
struct BoxMessage {
    enum Kind { Whole, Start, Shortened };
    std::string text;
    Kind kind = Whole;
};

// As the boxes show it: the program ends a message with a full stop.
const BoxMessage kNotValid{"Bitmap image is not valid."};

class Hostile;

// One hostile file or setting: what it makes, the box at start-up, the window, the picture's
// colour, and what the user does then. Every case ends with a double-click that closes the
// program, after a question to save where the case changed something.
struct HostileCase {
    const char* what;
    // Makes the case's files; returns the settings lines after the header. None: no lines.
    std::function<std::vector<std::string>(Hostile&)> prepare{};
    std::optional<BoxMessage> box{};
    Rect geometry = kDesignWindow;
    // Where Wine shows the window otherwise: it clips the X window of a huge one to the screen.
    std::optional<Rect> geometryUnderWine{};
    // The picture's colours at the two points: above, below.
    std::optional<std::pair<Rgb, Rgb>> shown{};
    std::function<void(Hostile&)> act{};
    // The answer to the question to save; none when closing asks nothing.
    std::optional<Answer> closingAnswer{};
    std::function<void(Hostile&)> afterClosing{};
    long maxResidentMiB = kMaxResidentMiB;
};

class Hostile : public KivoTest {
  public:
    // The program folder's path holds a blank and a "%", as a user's may.
    std::string folderLabel() const override { return " 100%"; }

    // The "Image=" line naming these bytes, written as the picture folder's hostile.bmp; a
    // FIFO there for none.
    std::string picture(const std::optional<std::string>& bytes) {
        const fs::path path = folder().program() / "image" / "hostile.bmp";
        fs::remove(path);
        if (bytes) {
            writeFile(path, *bytes);
        } else {
            mkfifo(path.c_str(), 0644);
        }
        return "Image=" + face().nativePath(path);
    }

    std::string pictureAt(const fs::path& path) {
        fs::create_directories(path.parent_path());
        return "Image=" + face().nativePath(path);
    }

    void expectBox(const BoxMessage& expected) {
        ASSERT_TRUE(waitForErrorBox()) << "no box";
        const std::string message = focusedBoxMessage();
        message_ = message;
        if (expected.kind == BoxMessage::Whole) {
            EXPECT_EQ(message, expected.text);
        } else {
            EXPECT_EQ(message.rfind(expected.text, 0), 0u) << message.substr(0, 200);
        }
        if (expected.kind == BoxMessage::Shortened) {
            EXPECT_NE(message.find("…"), std::string::npos) << message.substr(0, 80);
            EXPECT_TRUE(message.ends_with(".")) << "the message's end is cut off";
            EXPECT_LT(message.size(), 2000u);
        }
        x().pressKey("Return");
    }

    // Plays the case and prints its row: the box's message, the peak resident memory and the
    // time to the first window, of either kind.
    void run(const HostileCase& c);

  private:
    void play(const HostileCase& c);

    std::string message_;
    std::optional<std::chrono::milliseconds> firstWindow_;
    long peakKiB_ = -1;
};

std::vector<HostileCase> hostileCases() {
    using Lines = std::vector<std::string>;
    const std::string eightBit = patched(bmpBytes(Image(4, 4)), 28, 8);
    const std::string rle8 = patched(eightBit, 30, 1);
    return {
        {.what = "a FIFO named as the picture",
         .prepare = [](Hostile& t) { return Lines{t.picture(std::nullopt)}; },
         .box = kNotValid},
        {.what = "a folder named as the picture",
         .prepare =
             [](Hostile& t) {
                 const fs::path path = t.folder().program() / "image" / "folder.bmp";
                 fs::create_directories(path);
                 return Lines{t.pictureAt(path)};
             },
         .box = BoxMessage{"Cannot open file \"", BoxMessage::Start}},
        {.what = "a window of 100000 x 100000",
         .prepare =
             [](Hostile&) {
                 return Lines{"Formkivo.width=100000", "Formkivo.height=100000"};
             },
         // As many pixels as the largest picture, which is what a window this size costs.
         .geometry = {0, 0, 8192, 8192},
         .geometryUnderWine = Rect{0, 0, 1280, 1024},
         .maxResidentMiB = 3 * kMaxResidentMiB},
        {.what = "a window of 2000 x 1000 with its picture, larger than the screen",
         .prepare =
             [](Hostile& t) {
                 return Lines{t.picture(bmpBytes(Image(2000, 1000))), "Formkivo.width=2000",
                              "Formkivo.height=1000"};
             },
         .geometry = {0, 0, 2000, 1000}},
        {.what = "a size of 0 x -5",
         .prepare =
             [](Hostile&) {
                 return Lines{"Formkivo.width=0", "Formkivo.height=-5"};
             }},
        {.what = "a ten-megabyte number",
         .prepare = [](Hostile&) { return Lines{"Formkivo.left=" + std::string(10 << 20, '7')}; },
         .box = BoxMessage{"'7777777777", BoxMessage::Shortened}},
        {.what = "a ten-megabyte picture path",
         .prepare = [](Hostile&) { return Lines{"Image=" + std::string(10 << 20, 'p')}; },
         .box = BoxMessage{"Cannot open file \"", BoxMessage::Shortened}},
        {.what = "an 8-bit picture claiming 257 colours",
         .prepare = [eightBit](Hostile& t) { return Lines{t.picture(patched(eightBit, 46, 257))}; },
         .box = kNotValid},
        {.what = "a picture of 1 x 100000",
         .prepare =
             [rle8](Hostile& t) {
                 return Lines{t.picture(patched(patched(rle8, 18, 1), 22, 100000))};
             },
         .box = kNotValid},
        {.what = "a picture of 6000 x 6000",
         .prepare = [](Hostile& t) { return Lines{t.picture(hugeRleBmp())}; },
         .shown = {{kTeal, kTeal}},
         // The picture alone is 137 MiB as the screen shows it.
         .maxResidentMiB = 3 * kMaxResidentMiB},
        {.what = "a 32-bit picture whose alpha is 0",
         .prepare = [](Hostile& t) { return Lines{t.picture(transparentBmp())}; },
         .shown = {{kRed, kRed}}},
        {.what = "a picture stored from the top",
         .prepare = [](Hostile& t) { return Lines{t.picture(topDownBmp())}; },
         .shown = {{kRed, kBlue}}},
        {.what = "an 8-bit OS/2 picture",
         .prepare = [](Hostile& t) { return Lines{t.picture(os2Bmp())}; },
         .shown = {{kTeal, kTeal}}},
        {.what = "a picture whose path is longer than 260 characters",
         .prepare =
             [](Hostile& t) {
                 const std::string letters = repeated("д", 100);
                 const fs::path path = t.folder().root() / letters / letters / "long.bmp";
                 const std::string line = t.pictureAt(path);
                 writeFile(path, topDownBmp());
                 return Lines{line};
             },
         .shown = {{kRed, kBlue}}},
        {.what = "a JPEG claiming 65000 x 65000, chosen",
         .act =
             [](Hostile& t) {
                 const fs::path jpeg = t.folder().program() / "image" / "huge.jpg";
                 writeFile(jpeg, test::jpegClaiming(65000, 65000));
                 // Typed by its name in the folder the dialog opens in.
                 ASSERT_TRUE(t.choosePicture(jpeg.filename().string())) << "no file dialog";
                 t.expectBox({"Ошибка: JPEG error #" + std::to_string(JERR_IMAGE_TOO_BIG) +
                              "\nпреобразования файла:\n" + t.face().nativePath(jpeg)});
                 const auto again = t.waitForDialog("Выберите файл картинки");
                 ASSERT_TRUE(again) << "the file dialog did not open again";
                 ASSERT_TRUE(t.answer(*again, "Escape"));
                 EXPECT_FALSE(fs::exists(t.folder().program() / "image" / "huge.bmp"))
                     << "a conversion was written";
             }},
        {.what = "links planted at the names a save once wrote first",
         .prepare =
             [](Hostile& t) {
                 const fs::path image = t.folder().program() / "image";
                 writeFile(t.folder().root() / "victim.txt", "mine");
                 writeFile(image / "lake.jpg", test::makeJpeg(kPictureWidth, kPictureHeight));
                 fs::create_symlink(t.folder().root() / "victim.txt", image / "lake.bmp.tmp");
                 fs::create_symlink(t.folder().root() / "victim.txt",
                                    t.folder().settingsFile().string() + ".tmp");
                 return Lines{};
             },
         .act =
             [](Hostile& t) {
                 ASSERT_TRUE(t.choosePicture("lake.jpg")) << "no file dialog";
                 ASSERT_TRUE(waitUntil(t.timeout(), [&] {
                     return t.x().geometry(t.window.id).width == kPictureWidth;
                 })) << "the JPEG was not taken";
             },
         .closingAnswer = Answer::Ok,
         .afterClosing =
             [](Hostile& t) {
                 EXPECT_EQ(readFile(t.folder().root() / "victim.txt"), "mine");
                 EXPECT_TRUE(fs::is_regular_file(
                     fs::symlink_status(t.folder().program() / "image" / "lake.bmp")));
                 EXPECT_NE(readFile(t.folder().settingsFile()).find("lake.bmp"), std::string::npos);
             }},
        {.what = "a settings file that is a link",
         .prepare =
             [](Hostile& t) {
                 const fs::path saved = t.folder().root() / "saved" / "soxran.txt";
                 fs::create_directories(saved.parent_path());
                 writeFile(saved, "");
                 fs::create_symlink(saved, t.folder().settingsFile());
                 return Lines{};
             },
         .act = [](Hostile& t) { t.acceptStayOnTop(); },
         .closingAnswer = Answer::Ok,
         .afterClosing =
             [](Hostile& t) {
                 EXPECT_TRUE(fs::is_symlink(t.folder().settingsFile())) << "the link was replaced";
                 const std::string saved = readFile(t.folder().root() / "saved" / "soxran.txt");
                 EXPECT_NE(saved.find("\r\nflpv=true\r\n"), std::string::npos) << saved;
             }},
    };
}

void Hostile::run(const HostileCase& c) {
    message_.clear();
    firstWindow_.reset();
    peakKiB_ = -1;
    try {
        play(c);
    } catch (const std::exception& error) {
        ADD_FAILURE() << error.what(); // and on to the next case
    }
    // A case that failed on the way is measured where it stopped: a hung program too.
    if (peakKiB_ < 0 && kivo().running()) {
        peakKiB_ = kivo().peakResidentKiB();
    }
    // The message as a row of a table: on one line, a shortened one cut shorter still, but not
    // inside a UTF-8 character.
    std::size_t cut = std::min<std::size_t>(message_.size(), 100);
    while (cut < message_.size() && (message_[cut] & 0xC0) == 0x80) {
        --cut;
    }
    std::string message = message_.substr(0, cut);
    std::replace(message.begin(), message.end(), '\n', ' ');
    const std::string first =
        firstWindow_ ? std::to_string(firstWindow_->count()) + " ms to the first window"
                     : "no window";
    std::cerr << face().name() << " | " << c.what << " | " << (message.empty() ? "-" : message)
              << " | " << peakKiB_ / 1024 << " MiB | " << first << "\n";
}

void Hostile::play(const HostileCase& c) {
    fs::remove(folder().settingsFile());
    folder().writeSettings(c.prepare ? c.prepare(*this) : std::vector<std::string>{});
    startKivo();
    const auto started = std::chrono::steady_clock::now();
    const auto sinceStart = [&] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - started);
    };
    if (c.box) {
        ASSERT_TRUE(x().waitForWindow(face().title(), timeout())) << "no window";
        firstWindow_ = sinceStart();
        expectBox(*c.box);
    }
    ASSERT_NO_FATAL_FAILURE(takeMainWindow());
    if (!c.box) {
        firstWindow_ = sinceStart();
    }
    EXPECT_LT(*firstWindow_, 10s);
    const bool wine = face().name() != "linux";
    EXPECT_EQ(window.geometry, wine ? c.geometryUnderWine.value_or(c.geometry) : c.geometry);
    if (c.shown) {
        x().moveMouse(1000, 900); // a tooltip could cover the picture
        const auto colours = [](const Image& shot) {
            return std::pair{shot.at(kPictureX, kAboveY), shot.at(kPictureX, kPictureY)};
        };
        const auto showsIt = [&](const Image& shot) { return colours(shot) == c.shown; };
        const Image shot = waitForCapture(window.geometry, showsIt);
        EXPECT_EQ(colours(shot), *c.shown) << "the picture is not shown as it is";
    }
    if (c.act) {
        c.act(*this);
    }
    peakKiB_ = kivo().peakResidentKiB();
    EXPECT_GT(peakKiB_, 0);
    EXPECT_LT(peakKiB_, c.maxResidentMiB * 1024);

    if (c.closingAnswer) {
        ASSERT_NO_FATAL_FAILURE(closeAnswering(*c.closingAnswer));
    } else {
        doubleClickPicture();
    }
    EXPECT_EQ(kivo().waitExit(timeout()), 0) << "the window did not answer a double-click";
    if (c.afterClosing) {
        c.afterClosing(*this);
    }
}

// Each file ends in one verdict on every face: a box with its message when the file is
// refused, then a window that shows what it accepted and answers, soon and small.
TEST_F(Hostile, EachFileEndsInOneVerdictAndAWindowThatAnswers) {
    for (const HostileCase& c : hostileCases()) {
        SCOPED_TRACE(c.what);
        run(c);
    }
}

} // namespace
} // namespace kivo::e2e
