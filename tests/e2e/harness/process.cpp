#include "process.h"

#include "wait.h"

#include <algorithm>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char** environ;

namespace kivo::e2e {

namespace {

std::vector<char*> pointersTo(const std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (const auto& s : strings) {
        pointers.push_back(const_cast<char*>(s.c_str()));
    }
    pointers.push_back(nullptr);
    return pointers;
}

// Only async-signal-safe calls between fork and exec.
[[noreturn]] void execChild(pid_t parent, int logFd, int inheritedFd, char* const* argv,
                            char* const* envp) {
    setpgid(0, 0);
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) {
        _exit(127);
    }
    const int nullFd = open("/dev/null", O_RDONLY);
    dup2(nullFd, STDIN_FILENO);
    dup2(logFd, STDOUT_FILENO);
    dup2(logFd, STDERR_FILENO);
    if (inheritedFd >= 0) {
        fcntl(inheritedFd, F_SETFD, 0);
    }
    execve(argv[0], argv, envp);
    _exit(127);
}

} // namespace

Process::Process(const ProcessOptions& options) {
    const std::string logPath = options.logPath.empty() ? "/dev/null" : options.logPath;
    const int logFd = open(logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (logFd < 0) {
        throw std::runtime_error("cannot open log " + logPath + ": " + std::strerror(errno));
    }
    const auto argv = pointersTo(options.argv);
    const auto envp = pointersTo(options.env);
    const pid_t parent = getpid();
    pid_ = fork();
    if (pid_ == 0) {
        execChild(parent, logFd, options.inheritedFd, argv.data(), envp.data());
    }
    close(logFd);
    if (pid_ < 0) {
        throw std::runtime_error(std::string("fork failed: ") + std::strerror(errno));
    }
    // Also here, so that stop() reaches the group even before the child has run.
    setpgid(pid_, pid_);
}

// The leader is left a zombie until stop(), so its group id cannot be reused meanwhile.
bool Process::reap(bool block) {
    if (exitCode_) {
        return true;
    }
    siginfo_t info{};
    const int flags = WEXITED | WNOWAIT | (block ? 0 : WNOHANG);
    if (waitid(P_PID, static_cast<id_t>(pid_), &info, flags) != 0 || info.si_pid == 0) {
        return false;
    }
    exitCode_ = info.si_code == CLD_EXITED ? info.si_status : 128 + info.si_status;
    return true;
}

std::optional<int> Process::waitExit(std::chrono::milliseconds timeout) {
    waitUntil(timeout, [&] { return reap(false); });
    return exitCode_;
}

long peakResidentKiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with("VmHWM:")) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
}

double cpuSeconds(pid_t pid) {
    clockid_t clock{};
    timespec used{};
    if (clock_getcpuclockid(pid, &clock) != 0 || clock_gettime(clock, &used) != 0) {
        return 0;
    }
    return static_cast<double>(used.tv_sec) + static_cast<double>(used.tv_nsec) / 1e9;
}

void Process::stop() {
    if (pid_ <= 0) {
        return;
    }
    if (running()) {
        kill(-pid_, SIGTERM);
        if (!waitExit(std::chrono::seconds(3))) {
            kill(-pid_, SIGKILL);
            reap(true);
        }
    }
    // Helpers the leader started may still be alive.
    kill(-pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

std::vector<std::string> environmentWith(const std::vector<std::string>& drop,
                                         const std::vector<std::string>& add) {
    std::vector<std::string> env;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string variable = *entry;
        const std::string name = variable.substr(0, variable.find('='));
        if (std::none_of(drop.begin(), drop.end(),
                         [&](const std::string& prefix) { return name.starts_with(prefix); })) {
            env.push_back(variable);
        }
    }
    env.insert(env.end(), add.begin(), add.end());
    return env;
}

} // namespace kivo::e2e
