#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace kivo::e2e {

struct Rgb {
    int r = 0;
    int g = 0;
    int b = 0;
    bool operator==(const Rgb&) const = default;
};

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Rect&) const = default;
    bool contains(int px, int py) const {
        return px >= x && px < x + width && py >= y && py < y + height;
    }
};

std::ostream& operator<<(std::ostream& out, const Rgb& colour);
std::ostream& operator<<(std::ostream& out, const Rect& rect);

// Pixels of a screen area or of a picture file, row by row from the top.
class Image {
  public:
    Image() = default;
    Image(int width, int height) : width_(width), height_(height), pixels_(width * height) {}

    int width() const { return width_; }
    int height() const { return height_; }
    Rgb at(int x, int y) const { return pixels_.at(y * width_ + x); }
    void set(int x, int y, Rgb colour) { pixels_.at(y * width_ + x) = colour; }

  private:
    int width_ = 0;
    int height_ = 0;
    std::vector<Rgb> pixels_;
};

// An uncompressed 24-bit BMP file; throws on anything else.
Image readBmp(const std::filesystem::path& path);

// A pixel or palette entry as a BMP file stores it: blue, green, red.
std::string bgr(Rgb colour);

// The bytes of an uncompressed 24-bit bottom-up BMP file of the image.
std::string bmpBytes(const Image& image);

// For looking at a failure: `convert shot.ppm shot.png`.
void writePpm(const Image& image, const std::filesystem::path& path);

} // namespace kivo::e2e
