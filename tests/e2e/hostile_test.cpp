#include "files.h"
#include "image.h"
#include "kivo_test.h"

#include <sys/stat.h>

#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>

namespace kivo::e2e {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr Rect kDesignWindow{0, 0, 280, 279};
// The program on either system stays within this much resident memory.
constexpr long kMaxResidentKiB = 160 * 1024;

// `bytes` with a little-endian field overwritten.
std::string patched(std::string bytes, std::size_t offset, std::uint32_t value) {
    std::string field(4, '\0');
    for (std::size_t i = 0; i < field.size(); ++i) {
        field[i] = static_cast<char>(value >> (8 * i) & 0xFF);
    }
    return bytes.replace(offset, field.size(), field);
}

std::string smallBmp() {
    return bmpBytes(Image(4, 4));
}

// The peak resident memory of a running process, in KiB.
long peakResidentKiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
}

// A case is settings lines after the header and, when it names one, the picture's file: a
// FIFO or these bytes.
struct HostileCase {
    const char* what;
    std::vector<std::string> settings;
    std::optional<std::string> picture; // empty: a FIFO
    // The error box's message, or its start when it is shortened; none for no box.
    std::optional<std::string> message;
    bool shortened;
    Rect geometry;
};

// As the error box shows it: the program ends a message with a full stop.
constexpr const char* kNotValid = "Bitmap image is not valid.";

std::vector<HostileCase> hostileCases() {
    const std::string eightBit = patched(smallBmp(), 28, 8);
    const std::string rle8 = patched(eightBit, 30, 1);
    return {
        {"a FIFO named as the picture", {}, "", kNotValid, false, kDesignWindow},
        {"a window of 100000 x 100000",
         {"Formkivo.width=100000", "Formkivo.height=100000"},
         std::nullopt,
         std::nullopt,
         false,
         {0, 0, 1280, 1024}},
        {"a size of 0 x -5",
         {"Formkivo.width=0", "Formkivo.height=-5"},
         std::nullopt,
         std::nullopt,
         false,
         kDesignWindow},
        {"a ten-megabyte number",
         {"Formkivo.left=" + std::string(10 << 20, '7')},
         std::nullopt,
         "'7777777777",
         true,
         kDesignWindow},
        {"a ten-megabyte picture path",
         {"Image=" + std::string(10 << 20, 'p')},
         std::nullopt,
         "Cannot open file \"",
         true,
         kDesignWindow},
        {"an 8-bit picture claiming 257 colours",
         {},
         patched(eightBit, 46, 257),
         kNotValid,
         false,
         kDesignWindow},
        {"a picture of 1 x 100000",
         {},
         patched(patched(rle8, 18, 1), 22, 100000),
         kNotValid,
         false,
         kDesignWindow},
    };
}

// The "Image=" line naming the case's picture, made in the picture folder.
std::string pictureLine(const ProgramFolder& folder, const Face& face, const std::string& bytes) {
    const fs::path path = folder.program() / "image" / "hostile.bmp";
    fs::remove(path);
    if (bytes.empty()) {
        mkfifo(path.c_str(), 0644);
    } else {
        writeFile(path, bytes);
    }
    return "Image=" + face.nativePath(path);
}

using Hostile = KivoTest;

// Each file ends in one verdict on every face: the error box with its message when the file
// is refused, and then a window that a double-click closes, soon and small.
TEST_F(Hostile, EachFileEndsInOneVerdictAndAWindowThatAnswers) {
    if (!face().errorBoxCopiesToX()) {
        std::cerr << face().name()
                  << ": the boxes' messages are not read here, only their showing\n";
    }
    for (const HostileCase& c : hostileCases()) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> lines = {"Параметры окон и опций Kivo"};
        lines.insert(lines.end(), c.settings.begin(), c.settings.end());
        if (c.picture) {
            lines.push_back(pictureLine(folder(), face(), *c.picture));
        }
        writeFile(folder().settingsFile(), folder().settingsBytes(lines));
        startKivo();
        const auto started = std::chrono::steady_clock::now();
        const auto sinceStart = [&] {
            return std::chrono::duration_cast<std::chrono::milliseconds>(
                std::chrono::steady_clock::now() - started);
        };
        std::chrono::milliseconds firstWindow{};
        if (c.message) {
            ASSERT_TRUE(waitForErrorBox()) << "no error box";
            firstWindow = sinceStart();
            if (face().errorBoxCopiesToX()) {
                const std::string message = focusedBoxMessage();
                if (c.shortened) {
                    EXPECT_EQ(message.rfind(*c.message, 0), 0u) << message.substr(0, 80);
                    EXPECT_TRUE(message.ends_with("…")) << message.substr(0, 80);
                    EXPECT_LT(message.size(), 2000u);
                } else {
                    EXPECT_EQ(message, *c.message);
                }
            }
            x().pressKey("Return");
        }
        const auto window = waitForMainWindow();
        ASSERT_TRUE(window) << "no main window";
        if (!c.message) {
            firstWindow = sinceStart();
        }
        EXPECT_LT(firstWindow, 10s);
        EXPECT_EQ(window->geometry, c.geometry);
        const long peak = peakResidentKiB(kivo().pid());
        EXPECT_GT(peak, 0);
        EXPECT_LT(peak, kMaxResidentKiB);
        std::ostringstream row;
        row << face().name() << " | " << c.what << " | " << peak / 1024 << " MiB | "
            << firstWindow.count() << " ms to the first window\n";
        std::cerr << row.str();

        x().doubleClick(window->geometry.x + 60, window->geometry.y + 220);
        EXPECT_EQ(kivo().waitExit(timeout()), 0) << "the window did not answer a double-click";
    }
}

} // namespace
} // namespace kivo::e2e
