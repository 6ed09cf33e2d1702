// Measures the real program on Xvfb: start-up time, memory, idle CPU, and the breathing's tick
// interval and CPU of kivo and of the X server. Prints markdown sections.
#include "bench_session.h"
#include "files.h"
#include "image.h"
#include "median.h"
#include "plot.h"

#include <X11/Xlib.h>
#include <X11/extensions/shape.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <numeric>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using kivo::bench::BenchSession;
using kivo::bench::median;

constexpr int kTicks = 500;
constexpr double kRestThresholdMs = 1000;

struct BreathingResult {
    std::string picture;
    std::string outline;
    double meanMs = 0;
    double spreadMs = 0;
    double kivoCpuPercent = 0;
    double serverCpuPercent = 0;
    double exposedPixelsPerTick = 0;
    // Inset over time from the first tick, for the plot.
    std::vector<std::pair<double, int>> insets;
};

struct StartupResult {
    double firstWindowMs = 0;
    long peakKiB = 0;
    double idleCpuPercent = 0;
    double idleWakeupsPerSecond = 0;
};

// Follows the outline through the X server's ShapeNotify events, one per tick.
BreathingResult measureBreathing(int width, int height, int vid, const char* outlineName) {
    const std::filesystem::path picture =
        std::filesystem::temp_directory_path() /
        ("kivo-bench-" + std::to_string(width) + "x" + std::to_string(height) + ".bmp");
    kivo::e2e::writeFile(picture, kivo::e2e::bmpBytes(kivo::bench::gradient(width, height)));
    BenchSession session(kivo::bench::breathingSettings(picture, width, height, vid));
    session.launch();
    Display* display = session.display();
    const Window window = session.waitForMainWindow(std::chrono::seconds(10));
    if (window == 0) {
        throw std::runtime_error("kivo's window did not appear");
    }
    XShapeSelectInput(display, window, ShapeNotifyMask);
    // Exposures tell what the program has to repaint: the pixels it sends after a tick.
    XSelectInput(display, window, ExposureMask);
    int shapeEvent = 0;
    int shapeError = 0;
    XShapeQueryExtension(display, &shapeEvent, &shapeError);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    session.click(14, 14);

    std::vector<Clock::time_point> ticks;
    std::vector<int> insets;
    long long exposedPixels = 0;
    double kivoCpuStart = 0;
    double serverCpuStart = 0;
    const pid_t server = kivo::bench::virtualServerPid();
    const auto deadline = Clock::now() + std::chrono::seconds(60);
    while (static_cast<int>(ticks.size()) < kTicks + 1 && Clock::now() < deadline) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == Expose && !ticks.empty()) {
            exposedPixels += static_cast<long long>(event.xexpose.width) * event.xexpose.height;
        }
        if (event.type != shapeEvent) {
            continue;
        }
        const auto& shape = reinterpret_cast<const XShapeEvent&>(event);
        // A vanished outline lies outside the window.
        insets.push_back(shape.x < 0 ? std::max(width, height) / 2 : shape.x);
        ticks.push_back(Clock::now());
        if (ticks.size() == 1) {
            kivoCpuStart = kivo::bench::cpuSeconds(session.kivoPid());
            serverCpuStart = kivo::bench::cpuSeconds(server);
        }
    }
    const double kivoCpu = kivo::bench::cpuSeconds(session.kivoPid()) - kivoCpuStart;
    const double serverCpu = kivo::bench::cpuSeconds(server) - serverCpuStart;

    std::vector<double> intervals;
    double restMs = 0;
    for (std::size_t i = 1; i < ticks.size(); ++i) {
        const double ms =
            std::chrono::duration<double, std::milli>(ticks[i] - ticks[i - 1]).count();
        if (ms > kRestThresholdMs) {
            restMs += ms;
        } else {
            intervals.push_back(ms);
        }
    }
    BreathingResult result;
    result.picture = std::to_string(width) + " x " + std::to_string(height);
    result.outline = outlineName;
    if (intervals.empty()) {
        return result;
    }
    const double sum = std::accumulate(intervals.begin(), intervals.end(), 0.0);
    result.meanMs = sum / static_cast<double>(intervals.size());
    double squares = 0;
    for (double ms : intervals) {
        squares += (ms - result.meanMs) * (ms - result.meanMs);
    }
    result.spreadMs = std::sqrt(squares / static_cast<double>(intervals.size()));
    // CPU per second of breathing, the rests included: what the user's machine pays.
    const double wallSeconds = std::chrono::duration<double>(ticks.back() - ticks.front()).count();
    result.kivoCpuPercent = 100 * kivoCpu / wallSeconds;
    result.serverCpuPercent = 100 * serverCpu / wallSeconds;
    result.exposedPixelsPerTick =
        static_cast<double>(exposedPixels) / static_cast<double>(ticks.size() - 1);
    for (std::size_t i = 0; i < ticks.size(); ++i) {
        result.insets.emplace_back(std::chrono::duration<double>(ticks[i] - ticks.front()).count(),
                                   insets[i]);
    }
    (void)restMs;
    std::filesystem::remove(picture);
    return result;
}

StartupResult measureStartup() {
    BenchSession session;
    session.launch();
    const Window window = session.waitForMainWindow(std::chrono::seconds(10));
    StartupResult result;
    if (window == 0) {
        throw std::runtime_error("kivo's window did not appear");
    }
    result.firstWindowMs =
        std::chrono::duration<double, std::milli>(Clock::now() - session.startedAt()).count();
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const double cpuBefore = kivo::bench::cpuSeconds(session.kivoPid());
    const long switchesBefore = kivo::bench::contextSwitches(session.kivoPid());
    std::this_thread::sleep_for(std::chrono::seconds(3));
    result.idleCpuPercent = 100 * (kivo::bench::cpuSeconds(session.kivoPid()) - cpuBefore) / 3;
    result.idleWakeupsPerSecond =
        static_cast<double>(kivo::bench::contextSwitches(session.kivoPid()) - switchesBefore) / 3;
    result.peakKiB = kivo::bench::peakResidentKiB(session.kivoPid());
    return result;
}

} // namespace

int main(int argc, char* argv[]) {
    const std::filesystem::path results = argc > 1 ? argv[1] : "bench/results";
    std::ostringstream report;
    char line[256];

    std::vector<StartupResult> startups;
    for (int run = 0; run < 5; ++run) {
        startups.push_back(measureStartup());
    }
    std::vector<double> startMs;
    std::vector<long> peaks;
    std::vector<double> idle;
    std::vector<double> wakeups;
    for (const auto& s : startups) {
        startMs.push_back(s.firstWindowMs);
        peaks.push_back(s.peakKiB);
        idle.push_back(s.idleCpuPercent);
        wakeups.push_back(s.idleWakeupsPerSecond);
    }
    report << "## Start-up (median of 5)\n\n| measure | value |\n|---|---|\n";
    std::snprintf(line, sizeof line,
                  "| start to first shown window | %.0f ms |\n| peak resident memory | %.1f MB |\n"
                  "| CPU while idle | %.2f %% |\n| wake-ups per second while idle | %.1f |\n\n",
                  median(startMs), static_cast<double>(median(peaks)) / 1024, median(idle),
                  median(wakeups));
    report << line;

    report << "## Breathing (" << kTicks << " ticks, rests excluded from the interval)\n\n"
           << "| picture | outline | mean tick | spread | kivo CPU | X server CPU | "
              "exposed per tick |\n"
           << "|---|---|---|---|---|---|---|\n";
    const struct {
        int width;
        int height;
    } pictures[] = {{280, 280}, {1920, 1080}};
    const struct {
        int vid;
        const char* name;
    } outlines[] = {{2, "ellipse"}, {1, "rectangle"}, {0, "rounded"}};
    for (const auto& picture : pictures) {
        for (const auto& outline : outlines) {
            const BreathingResult r =
                measureBreathing(picture.width, picture.height, outline.vid, outline.name);
            std::snprintf(line, sizeof line,
                          "| %s | %s | %.2f ms | %.2f ms | %.1f %% | %.1f %% | %.0f px "
                          "(%.0f bytes) |\n",
                          r.picture.c_str(), r.outline.c_str(), r.meanMs, r.spreadMs,
                          r.kivoCpuPercent, r.serverCpuPercent, r.exposedPixelsPerTick,
                          4 * r.exposedPixelsPerTick);
            report << line;
            if (picture.width == 280 && outline.vid == 2) {
                std::filesystem::create_directories(results);
                kivo::bench::plotInsets(r.insets, picture.width / 2,
                                        "Kivo breathing: 280 x 280 ellipse, one shape per tick",
                                        (results / "breathing.png").string());
            }
        }
    }
    report << "\nCPU is per second of breathing, the two-second rests included. \"Exposed\" "
              "is the area that each tick's outline newly shows (Expose), at 4 bytes a pixel; "
              "the X server paints it from the window's background.\n\n![inset over "
              "time](breathing.png)\n";
    std::fputs(report.str().c_str(), stdout);
    return 0;
}
