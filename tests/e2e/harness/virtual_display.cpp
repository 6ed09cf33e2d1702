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
std::string readDisplayNumber(int fd, std::chrono::milliseconds timeout) {
    std::string number;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (number.empty() || number.back() != '\n') {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd p{fd, POLLIN, 0};
        if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0) {
            throw std::runtime_error("Xvfb did not report its display number");
        }
        char c = 0;
        if (read(fd, &c, 1) != 1) {
            throw std::runtime_error("Xvfb ended before reporting its display number");
        }
        number += c;
    }
    number.pop_back();
    return number;
}

} // namespace

VirtualDisplay::VirtualDisplay(const std::filesystem::path& logFolder, bool withWindowManager,
                               const std::vector<std::string>& env) {
    startServer(logFolder);
    if (withWindowManager) {
        startWindowManager(logFolder, env);
    }
}

VirtualDisplay::~VirtualDisplay() {
    windowManager_.reset();
    server_.reset();
}

void VirtualDisplay::startServer(const std::filesystem::path& logFolder) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe failed");
    }
    const std::string screen = std::to_string(kWidth) + "x" + std::to_string(kHeight) + "x24";
    ProcessOptions options;
    options.argv = {KIVO_E2E_XVFB, "-displayfd", std::to_string(fds[1]),
                    "-screen",     "0",          screen,
                    "-nolisten",   "tcp",        "-noreset"};
    options.env = environmentWith({}, {});
    options.logPath = (logFolder / "xvfb.log").string();
    options.inheritedFd = fds[1];
    try {
        server_ = std::make_unique<Process>(options);
        close(fds[1]);
        name_ = ":" + readDisplayNumber(fds[0], std::chrono::seconds(15));
    } catch (...) {
        close(fds[0]);
        throw;
    }
    close(fds[0]);
}

void VirtualDisplay::startWindowManager(const std::filesystem::path& logFolder,
                                        const std::vector<std::string>& env) {
    ProcessOptions options;
    options.argv = {KIVO_E2E_OPENBOX, "--sm-disable"};
    options.env = env;
    options.env.push_back("DISPLAY=" + name_);
    options.logPath = (logFolder / "openbox.log").string();
    windowManager_ = std::make_unique<Process>(options);

    XClient x(name_);
    if (!waitUntil(std::chrono::seconds(10), [&] { return x.windowManagerRunning(); })) {
        throw std::runtime_error("openbox did not start on " + name_);
    }
}

} // namespace kivo::e2e
