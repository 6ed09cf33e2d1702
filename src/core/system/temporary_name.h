#pragma once

#include <string>

namespace kivo {

// A name for a new file in the folder of `path` that no other writer picks: "." and the file's
// own name, a random part, ".tmp". Created exclusively, so that an attempt that meets a file or
// a link of that name takes another.
std::string temporaryNameBeside(const std::string& path);

// How many names a writer tries before it gives up.
inline constexpr int kTemporaryNameAttempts = 64;

} // namespace kivo
