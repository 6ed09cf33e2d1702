#include "virtual_display.h"

#include "wait.h"
#include "x_client.h"

#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <unistd.h>

namespace kivo::e2e {

namespace {

// Xvfb writes its display number and a newline to the -displayfd pipe once it accepts clients.
std::string readDisplayNumber(int fd) {
    std::string number;
    char c = 0;
    pollfd p{fd, POLLIN, 0};
    while (poll(&p, 1, 15000) > 0 && read(fd, &c, 1) == 1 && c != '\n') {
        number += c;
    }
    if (c != '\n') {
        throw std::runtime_error("Xvfb did not report its display number");
    }
    return number;
}

} // namespace

VirtualDisplay::VirtualDisplay(const std::filesystem::path& logFolder, bool withWindowManager,
                               const std::vector<std::string>& env, ScreenSize screen) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe failed");
    }
    const std::string size =
        std::to_string(screen.width) + "x" + std::to_string(screen.height) + "x24";
    ProcessOptions server;
    server.argv = {KIVO_E2E_XVFB, "-displayfd", std::to_string(fds[1]),
                   "-screen",     "0",          size,
                   "-nolisten",   "tcp",        "-noreset"};
    server.env = environmentWith({}, {});
    server.logPath = (logFolder / "xvfb.log").string();
    server.inheritedFd = fds[1];
    try {
        server_ = std::make_unique<Process>(server);
        close(fds[1]);
        name_ = ":" + readDisplayNumber(fds[0]);
    } catch (...) {
        close(fds[0]);
        throw;
    }
    close(fds[0]);
    if (!withWindowManager) {
        return;
    }

    ProcessOptions manager;
    manager.argv = {KIVO_E2E_OPENBOX, "--sm-disable"};
    manager.env = env;
    manager.env.push_back("DISPLAY=" + name_);
    manager.logPath = (logFolder / "openbox.log").string();
    windowManager_ = std::make_unique<Process>(manager);
    XClient x(name_);
    if (!waitUntil(std::chrono::seconds(10), [&] { return x.windowManagerRunning(); })) {
        throw std::runtime_error("openbox did not start on " + name_);
    }
}

} // namespace kivo::e2e
