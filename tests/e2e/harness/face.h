#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kivo::e2e {

class ProgramFolder;
class XClient;

enum class Hiding { LockedSession, Cloaked };

// One build of the program as a user meets it: how it starts, what its folder holds besides
// the pictures, where its autostart entry lives, and how its settings file writes texts and
// paths. The scenarios are written once against this; each face fills it in.
class Face {
  public:
    virtual ~Face() = default;

    // "linux", "win64", "win32": the word for the face in test names and on the command line.
    virtual std::string name() const = 0;
    virtual std::string executableName() const = 0;
    // The program folder as the face's build laid it out: the executable and its pictures.
    virtual std::filesystem::path builtFolder() const = 0;
    // The application's title, which captions the main window and the error box.
    virtual std::string title() const = 0;
    // How long a window may take to appear: Wine starts its services with the first program.
    virtual std::chrono::milliseconds appearTimeout() const = 0;

    // Puts what the face's system needs beside the program into the folder.
    virtual void install(const ProgramFolder& folder) const = 0;
    // The environment of every process of the face, but for its display.
    virtual std::vector<std::string> environment(const ProgramFolder& folder) const = 0;
    virtual std::vector<std::string> command(const ProgramFolder& folder) const = 0;
    // The display's scale for the programs started from now on, as dots per inch (96: 100 %).
    virtual void setDisplayDpi(const ProgramFolder& folder, const std::string& display, XClient& x,
                               int dpi) const = 0;
    // Hides the program from view, or shows it again, as the face's system does: a locked
    // session is X11's screen saver, and only Windows cloaks a window.
    virtual void setHidden(const ProgramFolder& folder, const std::string& display, XClient& x,
                           Hiding how, bool hidden) const = 0;
    // Ends what the face's system keeps running on the display, before the display goes.
    virtual void endSession(const ProgramFolder& folder, const std::string& display) const = 0;

    // A path as the program knows it: in its settings file, its autostart entry, its dialogs.
    virtual std::string nativePath(const std::filesystem::path& path) const = 0;
    // UTF-8 text in the settings file's code page.
    virtual std::string settingsText(const std::string& utf8) const = 0;

    // The message of the box that has the keyboard focus, as the face's system tells it, with
    // CR dropped; empty when it tells nothing within the face's timeout.
    virtual std::string boxMessage(const ProgramFolder& folder, const std::string& display,
                                   XClient& x) const = 0;

    // The command that the autostart entry starts at logon; none without an entry.
    virtual std::optional<std::string> autostartCommand(const ProgramFolder& folder,
                                                        const std::string& display) const = 0;
    // What that command is once the program has registered itself.
    virtual std::string expectedAutostartCommand(const ProgramFolder& folder) const = 0;
};

const Face& linuxFace();
const Face& windows64Face();
const Face& windows32Face();

// The face a test program runs on: --face=NAME on its command line, linux without one.
const Face& currentFace();
// Takes --face=NAME out of the arguments; throws on an unknown name.
void chooseFace(int& argc, char** argv);

} // namespace kivo::e2e
