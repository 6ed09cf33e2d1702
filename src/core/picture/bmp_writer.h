#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace kivo {

struct FreeDeleter {
    void operator()(std::uint8_t* bytes) const { std::free(bytes); }
};

// A picture laid out as an uncompressed BMP file stores it.
struct BmpPicture {
    std::int32_t width = 0;
    std::int32_t height = 0;
    int bitsPerPixel = 24;                 // 24 (blue, green, red), or 8 with a colour table
    std::vector<std::uint8_t> colourTable; // blue, green, red, 0 for each colour
    // Rows from the bottom up, each padded to a multiple of 4 bytes with zeros. Allocated with
    // malloc, as the decoder must hold no C++ object while libjpeg can longjmp out of it.
    std::unique_ptr<std::uint8_t[], FreeDeleter> pixels;
};

// Bytes in one stored row: whole pixels, padded to a multiple of 4.
std::size_t bmpStride(std::int32_t width, int bitsPerPixel);

// Writes the picture beside `path` and then renames it into place, so that a failed write
// leaves neither a partial file nor a damaged earlier one. Throws KivoError with the I/O
// error's message.
void writeBmpFile(const std::string& path, const BmpPicture& picture);

} // namespace kivo
