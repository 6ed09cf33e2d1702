#pragma once

#include "process.h"
#include "virtual_display.h"
#include "wine_folder.h"
#include "x_client.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kivo::e2e {

struct WineRun {
    int exitCode = -1;
    std::string output; // stdout and stderr
};

// kivo.exe under Wine on a private Xvfb with openbox (without a window manager Wine waits two
// seconds for every window it hides). A Wine server serves one display only, so the session
// ends the folder's Wine server, and every program it runs, before its display goes.
class WineSession {
  public:
    explicit WineSession(WineFolder& folder);
    ~WineSession();
    WineSession(const WineSession&) = delete;
    WineSession& operator=(const WineSession&) = delete;

    XClient& x() { return *x_; }
    const std::string& displayName() const { return display_->name(); }

    // Launches kivo.exe of the folder (again, after it has ended).
    void startKivo();
    Process& kivo() { return *kivo_; }
    std::chrono::steady_clock::time_point startedAt() const { return startedAt_; }

    // The main window, titled by the application's title; the program's dialogs carry other
    // titles, and its error boxes are dialogs.
    std::optional<WindowInfo> waitForMainWindow(std::chrono::milliseconds timeout);

    // Runs a program of the prefix to its end, such as {"reg", "query", ...}.
    WineRun run(const std::vector<std::string>& arguments, std::chrono::milliseconds timeout);
    // The string value under HKEY_CURRENT_USER\<key>, read through Wine's reg; none when the
    // value does not exist.
    std::optional<std::string> userRegistryValue(const std::string& key, const std::string& name);

    // Starts the prefix's Wine server to stay until endWine: programs started one after another
    // then find it running, as on a Windows that is up.
    void keepWineServer();
    // Ends the Wine server with every program of the prefix and waits until it is gone.
    void endWine();

  private:
    WineFolder& folder_;
    std::unique_ptr<VirtualDisplay> display_;
    std::unique_ptr<XClient> x_;
    std::unique_ptr<Process> kivo_;
    std::chrono::steady_clock::time_point startedAt_;
    int runs_ = 0;
};

} // namespace kivo::e2e
