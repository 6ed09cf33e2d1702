#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace kivo::e2e {

class Face;

// A throw-away installation of one face: a copy of its built program folder (a copy, since the
// program finds its files beside its own real path) with an empty date/, and a home of its own.
class ProgramFolder {
  public:
    // The label goes into the folder's name, for a path with characters that need care.
    ProgramFolder(const Face& face, const std::string& label);
    ~ProgramFolder();
    ProgramFolder(const ProgramFolder&) = delete;
    ProgramFolder& operator=(const ProgramFolder&) = delete;

    const Face& face() const { return face_; }
    // Free of links, so that it is the path the program computes for itself.
    const std::filesystem::path& root() const { return root_; }
    std::filesystem::path program() const { return root_ / "program"; }
    std::filesystem::path executable() const;
    std::filesystem::path defaultPicture() const { return program() / "image" / "1.bmp"; }
    std::filesystem::path settingsFile() const { return program() / "date" / "soxran.txt"; }
    std::filesystem::path home() const { return root_ / "home"; }
    std::filesystem::path logs() const { return root_ / "logs"; }

    // The settings file's header line and then these UTF-8 lines, written in the face's code
    // page and joined with CR LF, as the program writes them.
    void writeSettings(const std::vector<std::string>& lines) const;
    std::string settingsBytes(const std::vector<std::string>& lines) const;
    // Leave the folder on disk for a look after a failure.
    void keep() { keep_ = true; }

  private:
    const Face& face_;
    std::filesystem::path root_;
    bool keep_ = false;
};

} // namespace kivo::e2e
