#pragma once

#include <filesystem>
#include <string>

namespace kivo::e2e {

// The whole file as bytes; throws when it cannot be read.
std::string readFile(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, const std::string& bytes);

} // namespace kivo::e2e
