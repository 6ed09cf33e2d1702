// Measures the Windows program: Kivo.exe's size (64 and 32 bit, as built and stripped), and under
// Wine on Xvfb its start-up time and the breathing's tick interval. Prints a markdown section.
#include "controls.h"
#include "median.h"
#include "process.h"
#include "session.h"
#include "wait.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <numeric>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using kivo::bench::median;
using kivo::e2e::WindowInfo;

constexpr int kStarts = 5;
constexpr int kTicks = 300;
constexpr double kRestThresholdMs = 1000;

double milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

std::string wineVersion() {
    std::string version;
    if (FILE* pipe = popen(KIVO_WINE_ENV " " KIVO_BENCH_WINE " --version", "r")) {
        char text[128] = {};
        if (std::fgets(text, sizeof text, pipe) != nullptr) {
            version = text;
        }
        pclose(pipe);
    }
    while (!version.empty() && (version.back() == '\n' || version.back() == '\r')) {
        version.pop_back();
    }
    return version.empty() ? "Wine" : version;
}

std::string megabytes(std::uintmax_t bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f MB", static_cast<double>(bytes) / (1024 * 1024));
    return text;
}

// The size without debug information, as a release would ship it.
std::optional<std::uintmax_t> strippedSize(const fs::path& exe, const std::string& strip) {
    if (strip.empty()) {
        return std::nullopt;
    }
    const fs::path out =
        fs::temp_directory_path() / ("kivo-bench-stripped-" + exe.filename().string());
    kivo::e2e::ProcessOptions options;
    options.argv = {strip, "-o", out.string(), exe.string()};
    options.env = kivo::e2e::environmentWith({}, {});
    kivo::e2e::Process process(options);
    if (process.waitExit(60s) != 0) {
        return std::nullopt;
    }
    const auto size = fs::file_size(out);
    fs::remove(out);
    return size;
}

std::string sizeRow(const char* flavour, const fs::path& exe, const std::string& strip) {
    if (!fs::exists(exe)) {
        return std::string("| ") + flavour + " | not built (" + exe.string() + ") | |\n";
    }
    const auto stripped = strippedSize(exe, strip);
    return std::string("| ") + flavour + " | " + megabytes(fs::file_size(exe)) + " | " +
           (stripped ? megabytes(*stripped) : "") + " |\n";
}

// Polls tightly: the time of the first poll that sees the window mapped.
std::optional<WindowInfo> waitForMappedWindow(kivo::e2e::Session& session) {
    const auto deadline = Clock::now() + 30s;
    while (Clock::now() < deadline) {
        const auto found = session.x().windowsTitled(
            session.face().title(), [](const WindowInfo& window) { return !window.decorated; });
        if (!found.empty()) {
            return found.front();
        }
        std::this_thread::sleep_for(2ms);
    }
    return std::nullopt;
}

// Launch to mapped window; the program is then closed by a double-click.
double timeOneStart(kivo::e2e::Session& session) {
    session.startKivo();
    const auto window = waitForMappedWindow(session);
    const double ms = milliseconds(Clock::now() - session.startedAt());
    if (!window) {
        throw std::runtime_error("Kivo.exe showed no window");
    }
    // Input before the start button is drawn may be lost.
    kivo::e2e::waitUntil(
        10s, [&] { return kivo::e2e::startButtonShows(session.x().capture(window->geometry)); });
    session.x().doubleClick(window->geometry.x + 60, window->geometry.y + 220);
    if (!session.kivo().waitExit(10s)) {
        throw std::runtime_error("Kivo.exe did not end on a double-click");
    }
    return ms;
}

struct Ticks {
    double meanMs = 0;
    double medianMs = 0;
    double minMs = 0;
    double maxMs = 0;
    std::size_t intervals = 0;
};

Ticks measureTicks(kivo::e2e::Session& session) {
    session.startKivo();
    const auto window = waitForMappedWindow(session);
    if (!window) {
        throw std::runtime_error("Kivo.exe showed no window");
    }
    kivo::e2e::waitUntil(
        10s, [&] { return kivo::e2e::startButtonShows(session.x().capture(window->geometry)); });
    session.x().watchShape(window->id);
    session.x().click(window->geometry.x + 14, window->geometry.y + 14);
    std::vector<Clock::time_point> seen;
    while (seen.size() < kTicks + 1) {
        const auto change = session.x().nextShapeChange(5s);
        if (!change) {
            throw std::runtime_error("the outline stopped changing");
        }
        seen.push_back(change->seen);
    }
    std::vector<double> gaps;
    for (std::size_t i = 1; i < seen.size(); ++i) {
        const double gap = milliseconds(seen[i] - seen[i - 1]);
        if (gap < kRestThresholdMs) {
            gaps.push_back(gap);
        }
    }
    Ticks ticks;
    ticks.intervals = gaps.size();
    ticks.meanMs =
        std::accumulate(gaps.begin(), gaps.end(), 0.0) / static_cast<double>(gaps.size());
    ticks.medianMs = median(gaps);
    ticks.minMs = *std::min_element(gaps.begin(), gaps.end());
    ticks.maxMs = *std::max_element(gaps.begin(), gaps.end());
    return ticks;
}

// Starts the prefix's Wine server to stay: programs started one after another then find it
// running, as on a Windows that is up.
void keepWineServer(kivo::e2e::Session& session) {
    kivo::e2e::ProcessOptions options;
    options.argv = {KIVO_BENCH_WINESERVER, "--persistent"};
    options.env = session.face().environment(session.folder());
    options.env.push_back("DISPLAY=" + session.displayName());
    options.logPath = (session.folder().logs() / "wineserver.log").string();
    // The server leaves as a daemon at once.
    kivo::e2e::Process(options).waitExit(15s);
}

// One face's start-ups and ticks under Wine, as a row of the report; empty on failure.
std::string measureFace(const kivo::e2e::Face& face, const char* flavour) {
    std::unique_ptr<kivo::e2e::Session> session;
    double firstStart = 0;
    std::vector<double> starts;
    Ticks ticks;
    try {
        session = std::make_unique<kivo::e2e::Session>(face, /*withWindowManager=*/true, "");
        keepWineServer(*session);
        // Warm-up: Wine's own processes start with the first program.
        firstStart = timeOneStart(*session);
        for (int i = 0; i < kStarts; ++i) {
            starts.push_back(timeOneStart(*session));
        }
        ticks = measureTicks(*session);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", flavour, error.what());
        if (session) {
            session->folder().keep();
            std::fprintf(stderr, "logs in %s\n", session->folder().logs().c_str());
        }
        return {};
    }
    char line[512];
    std::snprintf(line, sizeof line,
                  "| %s | %.0f ms | %.0f ms (%.0f to %.0f) | %.2f ms | %.2f ms, %.2f ms, %.2f ms "
                  "(%d ticks) |\n",
                  flavour, firstStart, median(starts),
                  *std::min_element(starts.begin(), starts.end()),
                  *std::max_element(starts.begin(), starts.end()), ticks.meanMs, ticks.medianMs,
                  ticks.minMs, ticks.maxMs, static_cast<int>(ticks.intervals));
    return line;
}

} // namespace

int main() {
    std::string report = "## Windows build\n\n| Kivo.exe | as built | stripped |\n|---|---|---|\n";
    report += sizeRow("64-bit (x86_64)", KIVO_BENCH_EXE_X86_64, KIVO_BENCH_STRIP_X86_64);
    report += sizeRow("32-bit (i686)", KIVO_BENCH_EXE_I686, KIVO_BENCH_STRIP_I686);

    // Every scenario copies this prefix; so does the bench, if no scenario has run yet.
    kivo::e2e::ProcessOptions prepare;
    prepare.argv = {KIVO_BENCH_MAKE_PREFIX, KIVO_BENCH_TEMPLATE_PREFIX};
    prepare.env = kivo::e2e::environmentWith({}, {});
    if (kivo::e2e::Process(prepare).waitExit(300s) != 0) {
        std::fputs("cannot make the Wine prefix\n", stderr);
        return 1;
    }

    const std::string win64 = measureFace(kivo::e2e::windows64Face(), "64-bit");
    const bool haveWine32 = !std::string(KIVO_BENCH_WINE32).empty();
    const std::string win32 = haveWine32
                                  ? measureFace(kivo::e2e::windows32Face(), "32-bit")
                                  : "| 32-bit | not run: this machine has no 32-bit Wine (wine32) "
                                    "| | | |\n";
    if (win64.empty() || win32.empty()) {
        return 1;
    }
    report += "\n## Windows build under Wine (" + wineVersion() +
              ", Xvfb with openbox)\n\n"
              "| Kivo.exe | launch to mapped window, the first (Wine starts its services) | "
              "median of " +
              std::to_string(kStarts) + " after it | tick interval over " + std::to_string(kTicks) +
              " ticks, rest excluded: mean | median, fastest, slowest |\n|---|---|---|---|---|\n" +
              win64 + win32;
    report += "\nThe tick is a 10 ms SetTimer; its interval is taken between the outlines' "
              "arrivals at the X server. GDI objects over 10 000 ticks: the test win32.soak "
              "of the Windows build prints them.\n";
    std::fputs(report.c_str(), stdout);
    return 0;
}
