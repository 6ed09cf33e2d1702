#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace kivo::test {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
  public:
    TempDir() {
        std::random_device seed;
        path_ = std::filesystem::temp_directory_path() /
                ("kivo-test-" + std::to_string(seed()) + "-" + std::to_string(seed()));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The folder as the program keeps it: with a trailing separator.
    std::string dir() const { return (path_ / "").string(); }

  private:
    std::filesystem::path path_;
};

inline void writeFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// Sorted, whatever order the system lists them in.
inline std::vector<std::string> namesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

inline std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Little-endian; bytes beyond the value's four are zeros.
inline void putLe(std::string& out, std::uint32_t value, int bytes) {
    const std::uint64_t wide = value;
    for (int i = 0; i < bytes; ++i) {
        out += static_cast<char>(i < 8 ? (wide >> (8 * i)) & 0xFF : 0);
    }
}

// A valid uncompressed 24-bit BMP of one colour.
inline std::string bmp24(int width, int height, std::uint8_t r = 200, std::uint8_t g = 120,
                         std::uint8_t b = 40) {
    const std::uint32_t stride = (static_cast<std::uint32_t>(width) * 3 + 3) & ~3u;
    const std::uint32_t pixels = stride * static_cast<std::uint32_t>(height);
    std::string out = "BM";
    putLe(out, 54 + pixels, 4);
    putLe(out, 0, 4);
    putLe(out, 54, 4);
    putLe(out, 40, 4);
    putLe(out, static_cast<std::uint32_t>(width), 4);
    putLe(out, static_cast<std::uint32_t>(height), 4);
    putLe(out, 1, 2);
    putLe(out, 24, 2);
    putLe(out, 0, 4);
    putLe(out, pixels, 4);
    putLe(out, 2835, 4);
    putLe(out, 2835, 4);
    putLe(out, 0, 4);
    putLe(out, 0, 4);
    for (int y = 0; y < height; ++y) {
        std::string row;
        for (int x = 0; x < width; ++x) {
            row += static_cast<char>(b);
            row += static_cast<char>(g);
            row += static_cast<char>(r);
        }
        row.resize(stride, '\0');
        out += row;
    }
    return out;
}

} // namespace kivo::test
