#include "wine_session.h"

#include "files.h"

#include <sstream>
#include <stdexcept>

namespace kivo::e2e {

namespace {

constexpr const char* kTitle = "kivo";

} // namespace

WineSession::WineSession(WineFolder& folder) : folder_(folder) {
    display_ = std::make_unique<VirtualDisplay>(folder_.logs(), /*withWindowManager=*/true,
                                                wineEnvironment(folder_, ""));
    x_ = std::make_unique<XClient>(display_->name());
}

WineSession::~WineSession() {
    endWine();
    kivo_.reset();
    x_.reset();
    display_.reset();
}

void WineSession::startKivo() {
    kivo_.reset();
    ProcessOptions options;
    options.argv = {KIVO_WINE, folder_.executable().string()};
    options.env = wineEnvironment(folder_, display_->name());
    options.logPath = (folder_.logs() / "kivo.log").string();
    startedAt_ = std::chrono::steady_clock::now();
    kivo_ = std::make_unique<Process>(options);
}

std::optional<WindowInfo> WineSession::waitForMainWindow(std::chrono::milliseconds timeout) {
    return x().waitForWindow(kTitle, timeout,
                             [](const WindowInfo& window) { return !window.dialog; });
}

WineRun WineSession::run(const std::vector<std::string>& arguments,
                         std::chrono::milliseconds timeout) {
    const auto log = folder_.logs() / ("wine-run-" + std::to_string(++runs_) + ".log");
    ProcessOptions options;
    options.argv = {KIVO_WINE};
    options.argv.insert(options.argv.end(), arguments.begin(), arguments.end());
    options.env = wineEnvironment(folder_, display_->name());
    options.logPath = log.string();
    Process program(options);
    const auto exitCode = program.waitExit(timeout);
    if (!exitCode) {
        throw std::runtime_error("wine " + arguments.front() + " did not end in time");
    }
    return {*exitCode, readFile(log)};
}

std::optional<std::string> WineSession::userRegistryValue(const std::string& key,
                                                          const std::string& name) {
    const WineRun query =
        run({"reg", "query", "HKCU\\" + key, "/v", name}, std::chrono::seconds(30));
    if (query.exitCode != 0) {
        return std::nullopt;
    }
    // "    <name>    REG_SZ    <data>"
    const std::string marker = "    REG_SZ    ";
    std::istringstream lines(query.output);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const auto at = line.find(marker);
        if (at != std::string::npos && line.find(name) < at) {
            return line.substr(at + marker.size());
        }
    }
    throw std::runtime_error("unexpected output of reg query:\n" + query.output);
}

void WineSession::keepWineServer() {
    ProcessOptions options;
    options.argv = {KIVO_WINESERVER, "--persistent"};
    options.env = wineEnvironment(folder_, display_->name());
    options.logPath = (folder_.logs() / "wineserver.log").string();
    // The server leaves as a daemon at once.
    Process(options).waitExit(std::chrono::seconds(15));
}

void WineSession::endWine() {
    const auto env = wineEnvironment(folder_, display_ ? display_->name() : "");
    for (const char* option : {"-k", "-w"}) {
        ProcessOptions options;
        options.argv = {KIVO_WINESERVER, option};
        options.env = env;
        options.logPath = (folder_.logs() / "wineserver.log").string();
        Process server(options);
        server.waitExit(std::chrono::seconds(15));
    }
}

} // namespace kivo::e2e
