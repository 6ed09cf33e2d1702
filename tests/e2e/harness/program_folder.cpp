#include "program_folder.h"

#include "files.h"

#include <cstdlib>
#include <stdexcept>

namespace kivo::e2e {

namespace fs = std::filesystem;

ProgramFolder::ProgramFolder() {
    std::string pattern = (fs::temp_directory_path() / "kivo-e2e-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot make a temporary folder");
    }
    root_ = pattern;
    fs::create_directories(program() / "image");
    fs::create_directories(program() / "date");
    fs::create_directories(configHome());
    fs::create_directories(logs());
    fs::create_directory(runtimeDir());
    fs::permissions(runtimeDir(), fs::perms::owner_all, fs::perm_options::replace);
    fs::copy_file(KIVO_E2E_EXECUTABLE, executable());
    fs::copy_file(KIVO_E2E_DEFAULT_PICTURE, defaultPicture());
}

ProgramFolder::~ProgramFolder() {
    if (!keep_) {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
}

void ProgramFolder::writeSettings(const std::vector<std::string>& lines) const {
    std::string bytes;
    for (const auto& line : lines) {
        bytes += line + "\r\n";
    }
    writeFile(settingsFile(), bytes);
}

} // namespace kivo::e2e
