// Measures the Windows program: kivo.exe's size (64 and 32 bit, as built and stripped), and under
// Wine on Xvfb its start-up time and the breathing's tick interval. Prints a markdown section.
#include "face.h"
#include "process.h"
#include "wait.h"
#include "wine_folder.h"
#include "wine_session.h"

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
using kivo::e2e::WindowInfo;

constexpr int kStarts = 5;
constexpr int kTicks = 300;
constexpr double kRestThresholdMs = 1000;

double milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

std::string wineVersion() {
    std::string version;
    if (FILE* pipe = popen("WINEDEBUG=-all " KIVO_BENCH_WINE " --version", "r")) {
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
std::optional<WindowInfo> waitForMappedWindow(kivo::e2e::WineSession& session) {
    const auto deadline = Clock::now() + 30s;
    while (Clock::now() < deadline) {
        const auto found = session.x().windowsTitled(
            "kivo", [](const WindowInfo& window) { return !window.dialog; });
        if (!found.empty()) {
            return found.front();
        }
        std::this_thread::sleep_for(2ms);
    }
    return std::nullopt;
}

// Launch to mapped window; the program is then closed by a double-click.
double timeOneStart(kivo::e2e::WineSession& session) {
    session.startKivo();
    const auto window = waitForMappedWindow(session);
    const double ms = milliseconds(Clock::now() - session.startedAt());
    if (!window) {
        throw std::runtime_error("kivo.exe showed no window");
    }
    // Input before the start button is drawn may be lost.
    kivo::e2e::waitUntil(
        10s, [&] { return kivo::e2e::startButtonShows(session.x().capture(window->geometry)); });
    session.x().doubleClick(window->geometry.x + 60, window->geometry.y + 220);
    if (!session.kivo().waitExit(10s)) {
        throw std::runtime_error("kivo.exe did not end on a double-click");
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

Ticks measureTicks(kivo::e2e::WineSession& session) {
    session.startKivo();
    const auto window = waitForMappedWindow(session);
    if (!window) {
        throw std::runtime_error("kivo.exe showed no window");
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

} // namespace

int main() {
    std::string report = "## Windows build\n\n| kivo.exe | as built | stripped |\n|---|---|---|\n";
    report += sizeRow("64-bit (x86_64)", KIVO_BENCH_EXE_X86_64, KIVO_BENCH_STRIP_X86_64);
    report += sizeRow("32-bit (i686)", KIVO_BENCH_EXE_I686, KIVO_BENCH_STRIP_I686);

    // Every test makes this prefix; so does the bench, if no test has run yet.
    kivo::e2e::ProcessOptions prepare;
    prepare.argv = {KIVO_BENCH_MAKE_PREFIX, KIVO_BENCH_TEMPLATE_PREFIX};
    prepare.env = kivo::e2e::environmentWith({}, {});
    if (kivo::e2e::Process(prepare).waitExit(300s) != 0) {
        std::fputs("cannot make the Wine prefix\n", stderr);
        return 1;
    }

    std::unique_ptr<kivo::e2e::WineFolder> folder;
    double firstStart = 0;
    std::vector<double> starts;
    Ticks ticks;
    try {
        folder = std::make_unique<kivo::e2e::WineFolder>();
        kivo::e2e::WineSession session(*folder);
        session.keepWineServer();
        // Warm-up: Wine's own processes start with the first program.
        firstStart = timeOneStart(session);
        for (int i = 0; i < kStarts; ++i) {
            starts.push_back(timeOneStart(session));
        }
        ticks = measureTicks(session);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        if (folder) {
            folder->keep();
            std::fprintf(stderr, "logs in %s\n", folder->logs().c_str());
        }
        return 1;
    }

    char line[512];
    std::snprintf(line, sizeof line,
                  "\n## Windows build under Wine (%s, 64-bit, Xvfb with openbox)\n\n"
                  "| measure | value |\n|---|---|\n"
                  "| launch to mapped window, the first (Wine starts its services) | %.0f ms |\n"
                  "| launch to mapped window, median of %d after it | %.0f ms (%.0f to %.0f) |\n"
                  "| tick interval over %d ticks, rest excluded: mean | %.2f ms |\n"
                  "| median, fastest, slowest | %.2f ms, %.2f ms, %.2f ms |\n",
                  wineVersion().c_str(), firstStart, kStarts, median(starts),
                  *std::min_element(starts.begin(), starts.end()),
                  *std::max_element(starts.begin(), starts.end()),
                  static_cast<int>(ticks.intervals), ticks.meanMs, ticks.medianMs, ticks.minMs,
                  ticks.maxMs);
    report += line;
    report += "\nThe tick is a 10 ms SetTimer; its interval is taken between the outlines' "
              "arrivals at the X server. GDI objects over 10 000 ticks: the test win32.soak "
              "of the Windows build prints them.\n";
    std::fputs(report.c_str(), stdout);
    return 0;
}
