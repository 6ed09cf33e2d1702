#pragma once

#include "temp_files.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace kivo::fuzz {

// A folder of this process's own under the temporary folder, removed when the fuzzer exits.
inline const std::filesystem::path& scratchFolder() {
    static const test::TempDir folder;
    return folder.path();
}

// The readers take paths, so each input becomes a file of that name in the scratch folder.
inline std::string inputFile(const std::uint8_t* data, std::size_t size, const char* name) {
    const std::string path = (scratchFolder() / name).string();
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr || std::fwrite(data, 1, size, out) != size || std::fclose(out) != 0) {
        std::perror(path.c_str());
        std::abort();
    }
    return path;
}

// A broken promise of the code under test: reported and kept by the fuzzer as a crash.
inline void expect(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "kivo fuzz: %s\n", what);
        std::abort();
    }
}

} // namespace kivo::fuzz
