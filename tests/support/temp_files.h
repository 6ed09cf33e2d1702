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

// The little-endian field of `size` bytes; a negative value in two's complement, bytes
// beyond the value's four are zeros.
inline std::string le(std::int64_t value, int size) {
    std::string field;
    for (int i = 0; i < size; ++i) {
        field +=
            static_cast<char>(i < 4 ? (static_cast<std::uint32_t>(value) >> (8 * i)) & 0xFF : 0);
    }
    return field;
}

// The fields that the 40-byte information header and its longer successors begin with.
inline std::string infoHeader(int size, int width, int height, int bits, int compression,
                              std::size_t pixelBytes, int colours = 0) {
    return le(size, 4) + le(width, 4) + le(height, 4) + le(1, 2) + le(bits, 2) +
           le(compression, 4) + le(static_cast<std::int64_t>(pixelBytes), 4) + le(2835, 4) +
           le(2835, 4) + le(colours, 4) + le(0, 4);
}

// A bitmap file: its file header, then the information header, palette and pixels as given.
inline std::string bmpFile(const std::string& info, const std::string& palette,
                           const std::string& pixels) {
    const std::size_t offset = 14 + info.size() + palette.size();
    return "BM" + le(static_cast<std::int64_t>(offset + pixels.size()), 4) + le(0, 4) +
           le(static_cast<std::int64_t>(offset), 4) + info + palette + pixels;
}

// A bitmap whose header claims the given size and format over 64 bytes of pixels: only an
// uncompressed one's length can be told short.
inline std::string bmpClaiming(int width, int height, int bits, int compression, int colours = 0) {
    return bmpFile(infoHeader(40, width, height, bits, compression, 64, colours), "",
                   std::string(64, '\0'));
}

// An uncompressed 24-bit bottom-up BMP; `pixel(x, y)` gives a pixel's "BGR" bytes, y from the top.
template <typename PixelAt> std::string bmp24Of(int width, int height, PixelAt pixel) {
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
    std::string pixels;
    for (int y = height - 1; y >= 0; --y) {
        std::string row;
        for (int x = 0; x < width; ++x) {
            row += pixel(x, y);
        }
        row.resize(stride, '\0');
        pixels += row;
    }
    return bmpFile(infoHeader(40, width, height, 24, 0, pixels.size()), "", pixels);
}

// A valid uncompressed 24-bit BMP of one colour.
inline std::string bmp24(int width, int height, std::uint8_t r = 200, std::uint8_t g = 120,
                         std::uint8_t b = 40) {
    const std::string bgr{static_cast<char>(b), static_cast<char>(g), static_cast<char>(r)};
    return bmp24Of(width, height, [&bgr](int, int) { return bgr; });
}

} // namespace kivo::test
