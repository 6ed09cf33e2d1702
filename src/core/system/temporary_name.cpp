#include "core/system/temporary_name.h"

#include "core/picture/file_name.h"

#include <algorithm>
#include <cstdio>
#include <random>

namespace kivo {

namespace {

// Enough of the name to tell whose it is, short of any system's limit with the rest added.
constexpr std::size_t kNameBytes = 32;

// The first bytes of a UTF-8 name, never splitting a character.
std::string nameStart(const std::string& name) {
    std::size_t end = std::min(name.size(), kNameBytes);
    while (end > 0 && end < name.size() && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) {
        --end;
    }
    return name.substr(0, end);
}

} // namespace

std::string temporaryNameBeside(const std::string& path) {
    static std::mt19937_64 random{std::random_device{}()};
    char part[17];
    std::snprintf(part, sizeof part, "%016llx", static_cast<unsigned long long>(random()));
    const std::size_t start = fileNameStart(path);
    return path.substr(0, start) + "." + nameStart(path.substr(start)) + "." + part + ".tmp";
}

} // namespace kivo
