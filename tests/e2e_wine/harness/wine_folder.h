#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace kivo::e2e {

// A throw-away installation of kivo.exe (image/1.bmp, an empty date/) with a Wine prefix of its
// own, copied from the prepared template, so that no test sees another's registry.
class WineFolder {
  public:
    WineFolder();
    ~WineFolder();
    WineFolder(const WineFolder&) = delete;
    WineFolder& operator=(const WineFolder&) = delete;

    const std::filesystem::path& root() const { return root_; }
    std::filesystem::path program() const { return root_ / "program"; }
    std::filesystem::path executable() const { return program() / "kivo.exe"; }
    std::filesystem::path defaultPicture() const { return program() / "image" / "1.bmp"; }
    std::filesystem::path settingsFile() const { return program() / "date" / "soxran.txt"; }
    std::filesystem::path prefix() const { return root_ / "prefix"; }
    std::filesystem::path home() const { return root_ / "home"; }
    std::filesystem::path logs() const { return root_ / "logs"; }

    // Lines are joined with CR LF, as the program writes them.
    void writeSettings(const std::vector<std::string>& lines) const;
    // Leave the folder on disk for a look after a failure.
    void keep() { keep_ = true; }

  private:
    std::filesystem::path root_;
    bool keep_ = false;
};

// The path as a program under Wine sees it: Wine's drive Z: is the Linux root.
std::string windowsPath(const std::filesystem::path& path);

// UTF-8 text in code page 1251, as the program reads and writes it on a Russian Windows; only
// ASCII and the Russian alphabet are needed here.
std::string toCp1251(const std::string& utf8);

// The environment of every Wine process of a test: its prefix, its display (none when empty),
// a Russian Windows.
std::vector<std::string> wineEnvironment(const WineFolder& folder, const std::string& display);

} // namespace kivo::e2e
