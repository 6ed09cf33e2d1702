#include "program_folder.h"

#include "face.h"
#include "files.h"

#include <cstdlib>
#include <stdexcept>

namespace kivo::e2e {

namespace fs = std::filesystem;

namespace {

// What a user downloaded, in place of the build: KIVO_E2E_ARCHIVE names a zip or tar.gz that
// holds one program folder.
const char* downloadedArchive() {
    const char* archive = std::getenv("KIVO_E2E_ARCHIVE");
    return archive != nullptr && *archive != '\0' ? archive : nullptr;
}

void unpack(const fs::path& archive, const fs::path& program) {
    const fs::path unpacked = program.parent_path() / "unpacked";
    fs::create_directory(unpacked);
    const std::string quotedArchive = "'" + archive.string() + "'";
    const std::string quotedFolder = "'" + unpacked.string() + "'";
    const std::string command = archive.extension() == ".zip"
                                    ? "unzip -q " + quotedArchive + " -d " + quotedFolder
                                    : "tar -xzf " + quotedArchive + " -C " + quotedFolder;
    if (std::system(command.c_str()) != 0) {
        throw std::runtime_error("cannot unpack " + archive.string());
    }
    fs::rename(fs::directory_iterator(unpacked)->path(), program);
    if (!fs::is_directory(program / "date") || !fs::is_empty(program / "date")) {
        throw std::runtime_error(archive.string() + " holds no empty date folder");
    }
}

} // namespace

ProgramFolder::ProgramFolder(const Face& face, const std::string& label) : face_(face) {
    // A downloaded program is tried where users put it: a path with a blank and a Cyrillic letter.
    const char* archive = downloadedArchive();
    std::string pattern =
        (fs::temp_directory_path() /
         ("kivo-" + face.name() + (archive ? " загрузка" : "") + label + "-XXXXXX"))
            .string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot make a temporary folder");
    }
    root_ = fs::canonical(pattern);
    if (archive != nullptr) {
        unpack(archive, program());
    } else {
        const fs::path built = face.builtFolder();
        if (!fs::exists(built / face.executableName())) {
            throw std::runtime_error("no " + (built / face.executableName()).string() +
                                     ": build the " + face.name() + " face first");
        }
        fs::create_directories(program() / "date");
        fs::copy_file(built / face.executableName(), executable());
        fs::copy(built / "image", program() / "image", fs::copy_options::recursive);
    }
    fs::create_directories(home());
    fs::create_directories(logs());
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
    std::string bytes = face_.settingsText("Параметры окон и опций Kivo") + "\r\n";
    for (const auto& line : lines) {
        bytes += face_.settingsText(line) + "\r\n";
    }
    return bytes;
}

void ProgramFolder::writeSettings(const std::vector<std::string>& lines) const {
    writeFile(settingsFile(), settingsBytes(lines));
}

} // namespace kivo::e2e
