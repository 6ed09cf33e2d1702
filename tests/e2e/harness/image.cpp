#include "image.h"

#include "files.h"
#include "temp_files.h"

#include <cstdint>
#include <fstream>
#include <stdexcept>

namespace kivo::e2e {

namespace {

std::uint32_t littleEndian(const std::string& bytes, std::size_t offset, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) {
        value = value << 8 | static_cast<unsigned char>(bytes.at(offset + i));
    }
    return value;
}

} // namespace

std::ostream& operator<<(std::ostream& out, const Rgb& colour) {
    return out << "rgb(" << colour.r << "," << colour.g << "," << colour.b << ")";
}

std::ostream& operator<<(std::ostream& out, const Rect& rect) {
    return out << rect.width << "x" << rect.height << "+" << rect.x << "+" << rect.y;
}

Image readBmp(const std::filesystem::path& path) {
    const std::string bytes = readFile(path);
    if (bytes.size() < 54 || bytes.compare(0, 2, "BM") != 0 || littleEndian(bytes, 28, 2) != 24 ||
        littleEndian(bytes, 30, 4) != 0) {
        throw std::runtime_error("not an uncompressed 24-bit BMP: " + path.string());
    }
    const std::uint32_t dataOffset = littleEndian(bytes, 10, 4);
    const int width = static_cast<int>(littleEndian(bytes, 18, 4));
    const auto rawHeight = static_cast<std::int32_t>(littleEndian(bytes, 22, 4));
    const bool bottomUp = rawHeight > 0;
    const int height = bottomUp ? rawHeight : -rawHeight;
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;

    Image image(width, height);
    for (int row = 0; row < height; ++row) {
        const std::size_t start = dataOffset + static_cast<std::size_t>(row) * stride;
        const int y = bottomUp ? height - 1 - row : row;
        for (int x = 0; x < width; ++x) {
            const std::size_t at = start + static_cast<std::size_t>(x) * 3;
            image.set(x, y,
                      {static_cast<unsigned char>(bytes.at(at + 2)),
                       static_cast<unsigned char>(bytes.at(at + 1)),
                       static_cast<unsigned char>(bytes.at(at))});
        }
    }
    return image;
}

std::string bgr(Rgb colour) {
    return {static_cast<char>(colour.b), static_cast<char>(colour.g), static_cast<char>(colour.r)};
}

std::string bmpBytes(const Image& image) {
    return test::bmp24Of(image.width(), image.height(),
                         [&image](int x, int y) { return bgr(image.at(x, y)); });
}

void writePpm(const Image& image, const std::filesystem::path& path) {
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << image.width() << " " << image.height() << "\n255\n";
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const Rgb c = image.at(x, y);
            out.put(static_cast<char>(c.r)).put(static_cast<char>(c.g)).put(static_cast<char>(c.b));
        }
    }
}

} // namespace kivo::e2e
