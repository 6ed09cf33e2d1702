#include "core/picture/bitmap_check.h"
#include "core/system/files.h"

#include "core/error.h"

#include <cstdint>
#include <cstdio>
#include <optional>

namespace kivo {

namespace {

// The file header (14 bytes) and the part of any info header that the check needs (40 bytes).
constexpr std::size_t kHeadBytes = 54;

struct BitmapHeader {
    long long pixelOffset = 0;
    long long infoSize = 0;
    long long width = 0;
    long long height = 0; // negative for rows stored top-down
    unsigned planes = 0;
    unsigned bitCount = 0;
    unsigned compression = 0;
    std::uint32_t colorsUsed = 0; // entries of the colour table; 0: as many as the depth has
};

std::uint32_t littleEndian(const unsigned char* at, int bytes) {
    std::uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) {
        value = value << 8 | at[i];
    }
    return value;
}

std::optional<BitmapHeader> parseHeader(const unsigned char* head, std::size_t size) {
    if (size < 18 || head[0] != 'B' || head[1] != 'M') {
        return std::nullopt;
    }
    BitmapHeader header;
    header.pixelOffset = littleEndian(head + 10, 4);
    header.infoSize = littleEndian(head + 14, 4);
    if (header.infoSize == 12) {
        // The old OS/2 header: unsigned 16-bit sizes, no compression.
        if (size < 26) {
            return std::nullopt;
        }
        header.width = littleEndian(head + 18, 2);
        header.height = littleEndian(head + 20, 2);
        header.planes = littleEndian(head + 22, 2);
        header.bitCount = littleEndian(head + 24, 2);
        return header;
    }
    const long long info = header.infoSize;
    const bool knownInfo = info == 40 || info == 52 || info == 56 || info == 108 || info == 124;
    if (!knownInfo || size < kHeadBytes) {
        return std::nullopt;
    }
    header.width = static_cast<std::int32_t>(littleEndian(head + 18, 4));
    header.height = static_cast<std::int32_t>(littleEndian(head + 22, 4));
    header.planes = littleEndian(head + 26, 2);
    header.bitCount = littleEndian(head + 28, 2);
    header.compression = littleEndian(head + 30, 4);
    header.colorsUsed = littleEndian(head + 46, 4);
    return header;
}

bool compressionFits(unsigned compression, unsigned bitCount) {
    switch (compression) {
    case 0: // BI_RGB
        return true;
    case 1: // BI_RLE8
        return bitCount == 8;
    case 2: // BI_RLE4
        return bitCount == 4;
    case 3: // BI_BITFIELDS
        return bitCount == 16 || bitCount == 32;
    default:
        return false;
    }
}

bool isSane(const BitmapHeader& header, long long fileSize) {
    const unsigned bits = header.bitCount;
    const bool knownBitCount =
        bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    if (header.width <= 0 || header.height == 0 || header.planes != 1 || !knownBitCount ||
        !compressionFits(header.compression, bits)) {
        return false;
    }
    // Both factors are below 2^32, so the product fits; the stride sum below is small after it.
    const long long rows = header.height < 0 ? -header.height : header.height;
    if (header.width > kMaxPictureSide || rows > kMaxPictureSide ||
        header.width * rows > kMaxPicturePixels) {
        return false;
    }
    // A palette larger than the depth can index is a damaged header, whatever a loader makes
    // of it.
    if (bits <= 8 && header.colorsUsed > (1u << bits)) {
        return false;
    }
    if (header.pixelOffset < 14 + header.infoSize || header.pixelOffset >= fileSize) {
        return false;
    }
    const bool runLength = header.compression == 1 || header.compression == 2;
    const long long stride = (header.width * bits + 31) / 32 * 4;
    return runLength || header.pixelOffset + stride * rows <= fileSize;
}

} // namespace

void checkBitmapFile(const std::string& path) {
    std::FILE* in = openForReading(path);
    unsigned char head[kHeadBytes] = {};
    const std::size_t size = std::fread(head, 1, sizeof head, in);
    if (std::ferror(in) != 0) {
        // A folder, for one, opens but cannot be read.
        const int error = lastSystemError();
        std::fclose(in);
        throwCannotOpen(path, error);
    }
    const long fileSize = std::fseek(in, 0, SEEK_END) == 0 ? std::ftell(in) : -1;
    std::fclose(in);

    const std::optional<BitmapHeader> header = parseHeader(head, size);
    if (!header || !isSane(*header, fileSize)) {
        throw KivoError(kBitmapNotValid);
    }
}

} // namespace kivo
