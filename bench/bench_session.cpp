#include "bench_session.h"

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <unistd.h>

namespace kivo::bench {

namespace {

std::vector<std::string> statFields(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // The command name may hold blanks; the fields after it are plain.
    const auto close = text.rfind(')');
    std::istringstream rest(close == std::string::npos ? "" : text.substr(close + 2));
    std::vector<std::string> fields{"pid", "comm"};
    for (std::string field; rest >> field;) {
        fields.push_back(field);
    }
    return fields;
}

std::string commandName(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(in, name);
    return name;
}

bool isWindowNamed(Display* display, Window window, const std::string& wanted) {
    char* name = nullptr;
    if (XFetchName(display, window, &name) == 0 || name == nullptr) {
        return false;
    }
    const bool named = name == wanted;
    XFree(name);
    XWindowAttributes attributes;
    return named && XGetWindowAttributes(display, window, &attributes) != 0 &&
           attributes.map_state == IsViewable && attributes.override_redirect == False &&
           attributes.width >= 100;
}

} // namespace

long contextSwitches(pid_t pid) {
    long total = 0;
    const std::filesystem::path tasks = "/proc/" + std::to_string(pid) + "/task";
    std::error_code ignored;
    for (const auto& task : std::filesystem::directory_iterator(tasks, ignored)) {
        std::ifstream in(task.path() / "status");
        for (std::string line; std::getline(in, line);) {
            if (line.find("ctxt_switches:") != std::string::npos) {
                total += std::stol(line.substr(line.find(':') + 1));
            }
        }
    }
    return total;
}

pid_t virtualServerPid() {
    DIR* proc = opendir("/proc");
    pid_t found = 0;
    while (dirent* entry = readdir(proc)) {
        const pid_t pid = static_cast<pid_t>(std::atoi(entry->d_name));
        if (pid <= 0) {
            continue;
        }
        const auto fields = statFields(pid);
        if (fields.size() > 3 && std::stoi(fields[3]) == getpid() && commandName(pid) == "Xvfb") {
            found = pid;
        }
    }
    closedir(proc);
    return found;
}

e2e::Image gradient(int width, int height) {
    e2e::Image picture(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            picture.set(x, y, {160, y % 256, x % 256});
        }
    }
    return picture;
}

std::vector<std::string> breathingSettings(const std::filesystem::path& picture, int width,
                                           int height, int vid) {
    return {"Параметры окон и опций Kivo",
            "Image=" + picture.string(),
            "Formkivo.left=0",
            "Formkivo.top=0",
            "Formkivo.width=" + std::to_string(width),
            "Formkivo.height=" + std::to_string(height),
            "Vid=" + std::to_string(vid),
            "flpv=false"};
}

Window waitForWindowNamed(Display* display, const std::string& name,
                          std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && isWindowNamed(display, event.xmap.window, name)) {
                return event.xmap.window;
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return 0;
}

BenchSession::BenchSession(const std::vector<std::string>& settings, e2e::ScreenSize screen)
    : session_(e2e::linuxFace(), /*withWindowManager=*/false, "", screen) {
    if (!settings.empty()) {
        session_.folder().writeSettings(settings);
    }
    display_ = XOpenDisplay(session_.displayName().c_str());
    if (display_ == nullptr) {
        throw std::runtime_error("cannot open " + session_.displayName());
    }
    XSelectInput(display_, DefaultRootWindow(display_), SubstructureNotifyMask);
    XSync(display_, False);
}

BenchSession::~BenchSession() {
    if (display_ != nullptr) {
        XCloseDisplay(display_);
    }
}

Window BenchSession::waitForMainWindow(std::chrono::milliseconds timeout) {
    return waitForWindowNamed(display_, "kivo", timeout);
}

void BenchSession::click(int x, int y) {
    XTestFakeMotionEvent(display_, -1, x, y, CurrentTime);
    XTestFakeButtonEvent(display_, 1, True, CurrentTime);
    XTestFakeButtonEvent(display_, 1, False, CurrentTime);
    XFlush(display_);
}

} // namespace kivo::bench
