#include "program_folder.h"

#include "face.h"
#include "files.h"

#include <cstdlib>
#include <stdexcept>

namespace kivo::e2e {

namespace fs = std::filesystem;

ProgramFolder::ProgramFolder(const Face& face) : face_(face) {
    std::string pattern =
        (fs::temp_directory_path() / ("kivo-" + face.name() + "-XXXXXX")).string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot make a temporary folder");
    }
    root_ = fs::canonical(pattern);
    const fs::path built = face.builtFolder();
    if (!fs::exists(built / face.executableName())) {
        throw std::runtime_error("no " + (built / face.executableName()).string() + ": build the " +
                                 face.name() + " face first");
    }
    fs::create_directories(program() / "date");
    fs::create_directories(home());
    fs::create_directories(logs());
    fs::copy_file(built / face.executableName(), executable());
    fs::copy(built / "image", program() / "image", fs::copy_options::recursive);
    face.install(*this);
}

ProgramFolder::~ProgramFolder() {
    if (!keep_) {
        // remove_all removes links (a Wine prefix's drive z:), not their targets.
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
}

fs::path ProgramFolder::executable() const {
    return program() / face_.executableName();
}

std::string ProgramFolder::settingsBytes(const std::vector<std::string>& lines) const {
    std::string bytes;
    for (const auto& line : lines) {
        bytes += face_.settingsText(line) + "\r\n";
    }
    return bytes;
}

void ProgramFolder::writeSettings(const std::vector<std::string>& lines) const {
    writeFile(settingsFile(), settingsBytes(lines));
}

} // namespace kivo::e2e
