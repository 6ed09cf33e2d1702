#include "core/picture/bmp_writer.h"
#include "core/file_access.h"

#include "core/error.h"
#include "core/settings/io_error.h"
#include "core/settings/settings_file.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

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

[[noreturn]] void throwIoError(int errnoValue, const std::string& file) {
    throw KivoError(ioErrorMessage(ioErrorCode(errnoValue, file)));
}

// Returns errno's value of the first failure, or 0.
int writeAll(const std::string& file, const std::vector<std::uint8_t>& head,
             const BmpPicture& picture, std::size_t pixelBytes) {
    std::FILE* out = openFile(file, "wb");
    if (out == nullptr) {
        return errno;
    }
    const bool written = std::fwrite(head.data(), 1, head.size(), out) == head.size() &&
                         std::fwrite(picture.pixels.get(), 1, pixelBytes, out) == pixelBytes;
    int error = written ? 0 : errno;
    // Closing flushes the buffer: a full disk may only show here.
    if (std::fclose(out) != 0 && error == 0) {
        error = errno;
    }
    if (!written && error == 0) {
        error = EIO;
    }
    return error;
}

} // namespace

std::size_t bmpStride(std::int32_t width, int bitsPerPixel) {
    return (static_cast<std::size_t>(width) * static_cast<std::size_t>(bitsPerPixel) + 31) / 32 * 4;
}

void writeBmpFile(const std::string& path, const BmpPicture& picture) {
    const std::size_t pixelBytes =
        bmpStride(picture.width, picture.bitsPerPixel) * static_cast<std::size_t>(picture.height);
    const std::vector<std::uint8_t> head = headers(picture, static_cast<std::uint32_t>(pixelBytes));

    const std::string temporary = path + ".tmp";
    if (const int error = writeAll(temporary, head, picture, pixelBytes); error != 0) {
        removeFileQuietly(temporary);
        throwIoError(error, path);
    }
    std::error_code renamed;
    std::filesystem::rename(filePath(temporary), filePath(path), renamed);
    if (renamed) {
        removeFileQuietly(temporary);
        throwIoError(renamed.default_error_condition().value(), path);
    }
}

} // namespace kivo
