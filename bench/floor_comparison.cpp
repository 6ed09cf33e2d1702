// The Linux program's breathing against the plain Xlib floor doing the same outline work:
// each on its own private Xvfb, interleaved, several rounds. Prints a markdown table of the
// ratios of process CPU and of X server CPU, and the tick period of each.
// Usage: kivo_bench_floor [ROUNDS [SECONDS [WORK]]], WORK a part of a row's name
// ("280", "ellipse") to run only those rows.
#include "bench_session.h"
#include "files.h"
#include "median.h"
#include "virtual_display.h"

#include <X11/Xlib.h>
#include <X11/extensions/shape.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <poll.h>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using kivo::bench::median;

using kivo::e2e::VirtualDisplay;

struct Work {
    int width;
    int height;
    int vid;
    const char* outline;
    // Big enough to show the window whole, unless a row asks for a window that the screen's
    // edge cuts, which the X server reports as partly hidden.
    kivo::e2e::ScreenSize screen{VirtualDisplay::kWidth, VirtualDisplay::kHeight};
};

struct Run {
    double processCpu = 0; // seconds
    double serverCpu = 0;  // seconds
    double tickMs = 0;     // median interval between two outlines, rests left out
};

// Follows the outline through ShapeNotify for the given time, from its first change on.
Run follow(Display* display, Window window, pid_t program, std::chrono::seconds duration) {
    int shapeEvent = 0;
    int shapeError = 0;
    XShapeQueryExtension(display, &shapeEvent, &shapeError);
    XShapeSelectInput(display, window, ShapeNotifyMask);
    const pid_t server = kivo::bench::virtualServerPid();
    std::vector<Clock::time_point> ticks;
    double processStart = 0;
    double serverStart = 0;
    Clock::time_point end = Clock::now() + std::chrono::seconds(10);
    while (Clock::now() < end) {
        if (XPending(display) == 0) {
            pollfd connection{ConnectionNumber(display), POLLIN, 0};
            poll(&connection, 1, 100);
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        if (event.type != shapeEvent) {
            continue;
        }
        ticks.push_back(Clock::now());
        if (ticks.size() == 1) {
            processStart = kivo::bench::cpuSeconds(program);
            serverStart = kivo::bench::cpuSeconds(server);
            end = ticks.front() + duration;
        }
    }
    if (ticks.size() < 2) {
        throw std::runtime_error("the outline did not change");
    }
    Run run;
    run.processCpu = kivo::bench::cpuSeconds(program) - processStart;
    run.serverCpu = kivo::bench::cpuSeconds(server) - serverStart;
    std::vector<double> intervals;
    for (std::size_t i = 1; i < ticks.size(); ++i) {
        const double ms =
            std::chrono::duration<double, std::milli>(ticks[i] - ticks[i - 1]).count();
        if (ms < 1000) {
            intervals.push_back(ms);
        }
    }
    std::sort(intervals.begin(), intervals.end());
    run.tickMs = intervals[intervals.size() / 2];
    return run;
}

Run runKivo(const Work& work, const std::filesystem::path& picture, std::chrono::seconds duration) {
    kivo::bench::BenchSession session(
        kivo::bench::breathingSettings(picture, work.width, work.height, work.vid), work.screen);
    session.launch();
    const Window window = session.waitForMainWindow(std::chrono::seconds(10));
    if (window == 0) {
        throw std::runtime_error("kivo's window did not appear");
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    session.click(14, 14);
    return follow(session.display(), window, session.kivoPid(), duration);
}

Run runFloor(const Work& work, std::chrono::seconds duration) {
    char folder[] = "/tmp/kivo-floor-XXXXXX";
    if (mkdtemp(folder) == nullptr) {
        throw std::runtime_error("cannot make a folder for the floor's logs");
    }
    Run run;
    {
        VirtualDisplay server(folder, /*withWindowManager=*/false, {}, work.screen);
        Display* display = XOpenDisplay(server.name().c_str());
        if (display == nullptr) {
            throw std::runtime_error("cannot open " + server.name());
        }
        XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
        XSync(display, False);
        kivo::e2e::ProcessOptions options;
        options.argv = {KIVO_BENCH_FLOOR, std::to_string(work.width), std::to_string(work.height),
                        std::to_string(work.vid)};
        options.env = kivo::e2e::environmentWith({"DISPLAY"}, {"DISPLAY=" + server.name()});
        options.logPath = std::string(folder) + "/floor.log";
        kivo::e2e::Process floor(options);
        const Window window =
            kivo::bench::waitForWindowNamed(display, "kivo-floor", std::chrono::seconds(10));
        if (window == 0) {
            XCloseDisplay(display);
            throw std::runtime_error("the floor's window did not appear");
        }
        run = follow(display, window, floor.pid(), duration);
        XCloseDisplay(display);
    }
    std::filesystem::remove_all(folder);
    return run;
}

// "1.90 × (1.81–2.02)": the median ratio and the range over the rounds.
std::string ratioCell(const std::vector<double>& ratios) {
    char cell[64];
    std::snprintf(cell, sizeof cell, "%.2f × (%.2f–%.2f)", median(ratios),
                  *std::min_element(ratios.begin(), ratios.end()),
                  *std::max_element(ratios.begin(), ratios.end()));
    return cell;
}

} // namespace

int main(int argc, char* argv[]) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const std::chrono::seconds duration(argc > 2 ? std::max(2, std::atoi(argv[2])) : 12);
    const Work works[] = {{280, 280, 2, "ellipse"},
                          {280, 280, 1, "rectangle"},
                          {1920, 1080, 2, "ellipse", {1920, 1080}},
                          {1920, 1080, 1, "rectangle", {1920, 1080}},
                          {1920, 1080, 2, "ellipse cut by a 1280 × 1024 screen"}};
    std::printf("## Breathing against a plain Xlib program (%d rounds of %lld s, interleaved)\n\n"
                "| work | process CPU, kivo / floor | X server CPU, kivo / floor | "
                "kivo CPU | floor CPU | tick kivo | tick floor |\n"
                "|---|---|---|---|---|---|---|\n",
                rounds, static_cast<long long>(duration.count()));
    const std::string only = argc > 3 ? argv[3] : "";
    for (const Work& work : works) {
        const std::string name =
            std::to_string(work.width) + " × " + std::to_string(work.height) + " " + work.outline;
        if (name.find(only) == std::string::npos) {
            continue;
        }
        const std::filesystem::path picture =
            std::filesystem::temp_directory_path() / ("kivo-floor-" + std::to_string(work.width) +
                                                      "x" + std::to_string(work.height) + ".bmp");
        kivo::e2e::writeFile(picture,
                             kivo::e2e::bmpBytes(kivo::bench::gradient(work.width, work.height)));
        std::vector<double> processRatios;
        std::vector<double> serverRatios;
        std::vector<double> kivoCpu;
        std::vector<double> floorCpu;
        std::vector<double> kivoTicks;
        std::vector<double> floorTicks;
        for (int round = 0; round < rounds; ++round) {
            const Run kivo = runKivo(work, picture, duration);
            const Run floor = runFloor(work, duration);
            processRatios.push_back(kivo.processCpu / std::max(floor.processCpu, 0.01));
            serverRatios.push_back(kivo.serverCpu / std::max(floor.serverCpu, 0.01));
            kivoCpu.push_back(kivo.processCpu);
            floorCpu.push_back(floor.processCpu);
            kivoTicks.push_back(kivo.tickMs);
            floorTicks.push_back(floor.tickMs);
        }
        std::filesystem::remove(picture);
        std::printf("| %s | %s | %s | %.2f s | %.2f s | %.2f ms | %.2f ms |\n", name.c_str(),
                    ratioCell(processRatios).c_str(), ratioCell(serverRatios).c_str(),
                    median(kivoCpu), median(floorCpu), median(kivoTicks), median(floorTicks));
        std::fflush(stdout);
    }
    std::printf("\nCPU is user + system time over the same %lld s of breathing (medians); "
                "ratios are per round, their median with the range in brackets.\n\n",
                static_cast<long long>(duration.count()));
    return 0;
}
