// The real window breathing for 100 000 ticks, driven by calling the tick handler directly: once
// the first 10 000 ticks have warmed every cache up, neither the process's resident memory nor
// its resources in the X server may grow.
#include "core/window/form_kivo.h"
#include "qt_desktop.h"

#include <QApplication>
#include <QTest>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

// Last: Xlib's macros would break the headers above.
#include <X11/Xlib.h>
#include <X11/extensions/XRes.h>

namespace kivo::qt {
namespace {

constexpr int kWarmUpTicks = 10000;
constexpr int kTicks = 100000;
// Room for the allocator's own bookkeeping (about 0.2 MiB measured); a leak of a single
// allocation a tick, 32 bytes at least, would take 2.7 MiB over the 90 000 ticks.
constexpr long kResidentSlackKib = 1024;

// The real adapter, except that an error box is recorded instead of waiting for a click.
class SoakDesktop : public QtDesktop {
  public:
    std::vector<std::string> errors;
    void showErrorBox(const std::string&, const std::string& text) override {
        errors.push_back(text);
    }
};

// 0 when /proc/self/statm cannot be read.
long residentKib() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// What the X server holds for one client: a count per resource type, and pixmap bytes.
struct XResources {
    std::map<std::string, int> counts;
    unsigned long pixmapBytes = 0;
    bool operator==(const XResources&) const = default;
};

std::ostream& operator<<(std::ostream& out, const XResources& resources) {
    for (const auto& [type, count] : resources.counts) {
        out << type << " " << count << ", ";
    }
    return out << "pixmap bytes " << resources.pixmapBytes;
}

// The resource base of the X client that made the window; 0 when no client owns it.
XID clientOf(Display* display, XID window) {
    int count = 0;
    XResClient* clients = nullptr;
    XID base = 0;
    if (XResQueryClients(display, &count, &clients) != 0) {
        for (int i = 0; i < count; ++i) {
            if ((window & ~clients[i].resource_mask) == clients[i].resource_base) {
                base = clients[i].resource_base;
            }
        }
        XFree(clients);
    }
    return base;
}

XResources resourcesOf(Display* display, XID client) {
    XResources resources;
    int count = 0;
    XResType* types = nullptr;
    if (XResQueryClientResources(display, client, &count, &types) != 0) {
        for (int i = 0; i < count; ++i) {
            char* name = XGetAtomName(display, types[i].resource_type);
            resources.counts[name != nullptr ? name : "?"] = static_cast<int>(types[i].count);
            XFree(name);
        }
        XFree(types);
    }
    XResQueryClientPixmapBytes(display, client, &resources.pixmapBytes);
    return resources;
}

TEST(Soak, AHundredThousandTicksGrowNeitherMemoryNorXResources) {
    SoakDesktop desktop;
    TFormKivo form(desktop);
    desktop.connect(form);
    form.dispatch([&] { form.FormCreate(); });
    ASSERT_EQ(desktop.errors, std::vector<std::string>{});
    desktop.window().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&desktop.window()));

    // A connection of the test's own, asking the X server about the window's client.
    const std::unique_ptr<Display, decltype(&XCloseDisplay)> display(XOpenDisplay(nullptr),
                                                                     XCloseDisplay);
    int event = 0;
    int error = 0;
    ASSERT_TRUE(display != nullptr && XResQueryExtension(display.get(), &event, &error) != 0)
        << "the X server has no X-Resource extension";
    const XID client = clientOf(display.get(), desktop.window().winId());
    ASSERT_NE(client, 0u) << "no X client owns the window";

    // The test ticks the handler itself; the timer it re-arms is stopped after every tick.
    const auto tick = [&] {
        form.dispatch([&] { form.Timer1Timer(); });
        desktop.window().timer1->stop();
    };
    form.dispatch([&] { form.Image2Click(); });
    desktop.window().timer1->stop();

    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kWarmUpTicks; ++i) {
        tick();
    }
    QApplication::sync();
    const long residentWarm = residentKib();
    const XResources resourcesWarm = resourcesOf(display.get(), client);

    // Every tick but the turns must move the outline, or the ticks did not really run.
    int moves = 0;
    for (int i = kWarmUpTicks; i < kTicks; ++i) {
        const int inset = form.state.Inset;
        tick();
        moves += form.state.Inset != inset ? 1 : 0;
    }
    QApplication::sync();
    const long residentEnd = residentKib();
    const XResources resourcesEnd = resourcesOf(display.get(), client);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;

    std::printf("ticks %d..%d in %.1f s\n", kWarmUpTicks, kTicks, took.count());
    std::printf("resident KiB: %ld at %d, %ld at %d\n", residentWarm, kWarmUpTicks, residentEnd,
                kTicks);
    std::cout << "X resources at " << kWarmUpTicks << ": " << resourcesWarm << "\n"
              << "X resources at " << kTicks << ": " << resourcesEnd << "\n";

    EXPECT_EQ(desktop.errors, std::vector<std::string>{});
    EXPECT_EQ(form.state.Running, 1);
    EXPECT_GT(moves, (kTicks - kWarmUpTicks) * 99 / 100);
    EXPECT_GT(residentWarm, 0);
    EXPECT_LE(residentEnd - residentWarm, kResidentSlackKib);
    EXPECT_FALSE(resourcesWarm.counts.empty());
    EXPECT_EQ(resourcesEnd, resourcesWarm);
}

} // namespace
} // namespace kivo::qt

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
