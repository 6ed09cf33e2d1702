#include "core/picture/bitmap_check.h"
#include "error_of.h"
#include "system_texts.h"
#include "temp_files.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace kivo {
namespace {

using namespace test;

// `bytes` with a little-endian field overwritten.
std::string patched(std::string bytes, std::size_t offset, std::uint32_t value, int size) {
    return bytes.replace(offset, size, le(value, size));
}

// The message checkBitmapFile gives for a file of these bytes, or "" when it accepts it.
std::string checkBytes(const std::string& bytes) {
    TempDir dir;
    writeFile(dir.path() / "picture.bmp", bytes);
    return errorOf([&] { checkBitmapFile((dir.path() / "picture.bmp").string()); });
}

TEST(BitmapCheck, AcceptsCompletePictures) {
    EXPECT_EQ(checkBytes(bmp24(3, 2)), "");
    EXPECT_EQ(checkBytes(patched(bmp24(3, 2), 22, static_cast<std::uint32_t>(-2), 4)), "")
        << "rows stored top-down";
    EXPECT_EQ(checkBytes(bmp24(5, 4) + "trailing bytes"), "");
    EXPECT_EQ(checkBytes(bmpClaiming(8192, 8192, 8, 1)), "") << "the largest picture allowed";
    EXPECT_EQ(checkBytes(bmpClaiming(32767, 2, 8, 1)), "") << "the longest side allowed";
    EXPECT_EQ(checkBytes(bmpClaiming(3, 2, 8, 1, 256)), "") << "a full 8-bit palette";
}

TEST(BitmapCheck, NamesTheFileAndTheReasonWhenItCannotBeOpened) {
    TempDir dir;
    const std::string path = (dir.path() / "нет.bmp").string();
    EXPECT_EQ(errorOf([&] { checkBitmapFile(path); }),
              "Cannot open file \"" + path + "\". " + missingFileReason());
}

TEST(BitmapCheck, RefusesDamagedOrInsaneHeaders) {
    const std::string good = bmp24(3, 2);
    const std::pair<std::string, std::string> cases[] = {
        {"", "empty file"},
        {"Just some text, long enough to fill a bitmap's headers, and more.", "not a BMP"},
        {good.substr(0, good.size() - 1), "last row cut short"},
        {good.substr(0, 40), "headers cut short"},
        {patched(patched(good, 18, 6000, 4), 22, 5000, 4), "6000 x 5000 header over 24 bytes"},
        {bmpClaiming(8192, 8193, 8, 1), "more pixels than allowed"},
        {bmpClaiming(1, 100000, 8, 1), "a side longer than allowed"},
        {bmpClaiming(32768, 1, 8, 1), "a side longer than allowed"},
        {bmpClaiming(3, 2, 8, 1, 257), "more colours than 8 bits index"},
        {patched(patched(good, 18, 0x7FFFFFFF, 4), 22, 0x80000000, 4), "extreme sizes"},
        {patched(good, 0, 'M' | 'B' << 8, 2), "signature"},
        {patched(good, 14, 41, 4), "info header size"},
        {patched(good, 18, 0, 4), "zero width"},
        {patched(good, 18, static_cast<std::uint32_t>(-3), 4), "negative width"},
        {patched(good, 22, 0, 4), "zero height"},
        {patched(good, 26, 2, 2), "planes"},
        {patched(good, 28, 7, 2), "bit count"},
        {patched(good, 30, 1, 4), "RLE8 on 24 bits"},
        {patched(good, 30, 3, 4), "bit fields on 24 bits"},
        {patched(good, 30, 4, 4), "JPEG compression"},
        {patched(good, 10, 20, 4), "pixels inside the headers"},
        {patched(good, 10, 0xFFFFFFF0, 4), "pixels beyond the end"},
    };
    for (const auto& [bytes, what] : cases) {
        EXPECT_EQ(checkBytes(bytes), "Bitmap image is not valid") << what;
    }
}

} // namespace
} // namespace kivo
