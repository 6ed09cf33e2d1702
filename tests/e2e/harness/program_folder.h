#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace kivo::e2e {

// A throw-away installation of the program: a copy of kivo (it finds its files beside its own
// real path, so a link would not do), image/1.bmp and an empty date/, with a home of its own.
class ProgramFolder {
  public:
    ProgramFolder();
    ~ProgramFolder();
    ProgramFolder(const ProgramFolder&) = delete;
    ProgramFolder& operator=(const ProgramFolder&) = delete;

    const std::filesystem::path& root() const { return root_; }
    std::filesystem::path program() const { return root_ / "program"; }
    std::filesystem::path executable() const { return program() / "kivo"; }
    std::filesystem::path defaultPicture() const { return program() / "image" / "1.bmp"; }
    std::filesystem::path settingsFile() const { return program() / "date" / "soxran.txt"; }
    std::filesystem::path home() const { return root_ / "home"; }
    std::filesystem::path configHome() const { return home() / ".config"; }
    std::filesystem::path runtimeDir() const { return root_ / "runtime"; }
    std::filesystem::path logs() const { return root_ / "logs"; }

    // Lines are joined with CR LF, as the program writes them.
    void writeSettings(const std::vector<std::string>& lines) const;
    // Leave the folder on disk for a look after a failure.
    void keep() { keep_ = true; }

  private:
    std::filesystem::path root_;
    bool keep_ = false;
};

} // namespace kivo::e2e
