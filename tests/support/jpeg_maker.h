#pragma once

#include <cstdio> // jpeglib.h needs FILE declared first

#include <jpeglib.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace kivo::test {

struct JpegOptions {
    bool grey = false;
    bool progressive = false;
    int quality = 90;
};

// The bytes of a JPEG file made by libjpeg's compressor: gradients with fine noise, so that
// colour conversion, upsampling and quantising all have work to do.
inline std::string makeJpeg(int width, int height, JpegOptions options = {}) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = options.grey ? 1 : 3;
    cinfo.in_color_space = options.grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, options.quality, TRUE);
    if (options.progressive) {
        jpeg_simple_progression(&cinfo);
    }
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<JSAMPLE> row(static_cast<std::size_t>(width * cinfo.input_components));
    std::uint32_t noise = 12345;
    for (int y = 0; y < height; ++y) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            noise = noise * 1103515245 + 12345;
            const auto x = static_cast<int>(i) / cinfo.input_components;
            const auto channel = static_cast<int>(i) % cinfo.input_components;
            const int base = (x * 255 / width + y * 255 / height * (channel + 1)) % 256;
            row[i] = static_cast<JSAMPLE>((base + static_cast<int>(noise >> 28)) % 256);
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::string bytes(reinterpret_cast<const char*>(buffer), size);
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    return bytes;
}

// A JPEG made by libjpeg whose frame header claims another size; the scan data stays that of
// the small picture, so only a decoder that trusts the header pays for the claim.
inline std::string jpegClaiming(int width, int height) {
    std::string bytes = makeJpeg(16, 16);
    std::size_t marker = 2;
    while (static_cast<unsigned char>(bytes[marker + 1]) != 0xC0) {
        marker += 2 + (static_cast<unsigned char>(bytes[marker + 2]) << 8 |
                       static_cast<unsigned char>(bytes[marker + 3]));
    }
    const char size[] = {static_cast<char>(height >> 8), static_cast<char>(height & 0xFF),
                         static_cast<char>(width >> 8), static_cast<char>(width & 0xFF)};
    bytes.replace(marker + 5, 4, size, 4);
    return bytes;
}

} // namespace kivo::test
