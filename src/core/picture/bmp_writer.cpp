#include "core/picture/bmp_writer.h"
#include "core/system/files.h"

namespace kivo {

namespace {

constexpr std::uint32_t kHeadersSize = 14 + 40;

void putLe(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

// The file header, the information header and the colour table.
std::vector<std::uint8_t> headers(const BmpPicture& picture, std::uint32_t pixelBytes) {
    const auto tableSize = static_cast<std::uint32_t>(picture.colourTable.size());
    const std::uint32_t pixelOffset = kHeadersSize + tableSize;
    std::vector<std::uint8_t> out{'B', 'M'};
    putLe(out, pixelOffset + pixelBytes, 4);
    putLe(out, 0, 4); // two reserved words
    putLe(out, pixelOffset, 4);
    putLe(out, 40, 4);
    putLe(out, static_cast<std::uint32_t>(picture.width), 4);
    putLe(out, static_cast<std::uint32_t>(picture.height), 4); // positive: bottom-up rows
    putLe(out, 1, 2);
    putLe(out, static_cast<std::uint32_t>(picture.bitsPerPixel), 2);
    putLe(out, 0, 4); // BI_RGB
    putLe(out, pixelBytes, 4);
    putLe(out, 0, 4); // no resolution recorded
    putLe(out, 0, 4);
    putLe(out, tableSize / 4, 4); // colours used: exactly the table's
    putLe(out, 0, 4);
    out.insert(out.end(), picture.colourTable.begin(), picture.colourTable.end());
    return out;
}

} // namespace

std::size_t bmpStride(std::int32_t width, int bitsPerPixel) {
    return (static_cast<std::size_t>(width) * static_cast<std::size_t>(bitsPerPixel) + 31) / 32 * 4;
}

void writeBmpFile(const std::string& path, const BmpPicture& picture) {
    const std::size_t pixelBytes =
        bmpStride(picture.width, picture.bitsPerPixel) * static_cast<std::size_t>(picture.height);
    const std::vector<std::uint8_t> head = headers(picture, static_cast<std::uint32_t>(pixelBytes));

    replaceFile(path, {{head.data(), head.size()}, {picture.pixels.get(), pixelBytes}});
}

} // namespace kivo
