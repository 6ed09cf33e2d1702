// The JPEG conversion on whole files, in both of its output modes. A file it cannot take ends
// in a KivoError; anything else (a crash, a sanitizer report, another exception, a leak) is a
// fault, and so is a decoded picture that would not make a sound BMP file.
#include "core/error.h"
#include "core/picture/bitmap_check.h"
#include "core/picture/bmp_writer.h"
#include "core/picture/jpeg_decoder.h"
#include "input_file.h"

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <string>

#include <jpeglib.h>

using kivo::fuzz::expect;

namespace {

// Larger pictures take the same paths, only for longer: seconds each under the sanitizers.
// Headers above the program's own limit still go in, to exercise its refusal.
constexpr long long kFuzzedPixels = 1 << 20;

struct HeaderPeek {
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr errors;
    std::jmp_buf failed;
};

// The size the file's header claims, in pixels; 0 when libjpeg finds no header.
long long claimedPixels(const std::uint8_t* data, std::size_t size) {
    HeaderPeek peek{};
    peek.cinfo.err = jpeg_std_error(&peek.errors);
    peek.errors.error_exit = [](j_common_ptr cinfo) {
        std::longjmp(static_cast<HeaderPeek*>(cinfo->client_data)->failed, 1);
    };
    peek.errors.emit_message = [](j_common_ptr, int) {};
    peek.cinfo.client_data = &peek;
    if (setjmp(peek.failed) != 0) {
        jpeg_destroy_decompress(&peek.cinfo);
        return 0;
    }
    jpeg_create_decompress(&peek.cinfo);
    jpeg_mem_src(&peek.cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&peek.cinfo, TRUE);
    const long long pixels =
        static_cast<long long>(peek.cinfo.image_width) * peek.cinfo.image_height;
    jpeg_destroy_decompress(&peek.cinfo);
    return pixels;
}

void checkPicture(const kivo::BmpPicture& picture, const std::string& bitmapPath) {
    const long long pixels = static_cast<long long>(picture.width) * picture.height;
    expect(picture.width > 0 && picture.height > 0, "a picture without pixels");
    expect(pixels <= kivo::kMaxPicturePixels, "a picture above the size limit");
    expect(picture.pixels != nullptr, "no pixel buffer");
    const std::size_t table = picture.colourTable.size();
    if (picture.bitsPerPixel == 24) {
        expect(table == 0, "a colour table on 24 bits per pixel");
    } else {
        expect(picture.bitsPerPixel == 8, "neither 24 nor 8 bits per pixel");
        expect(table > 0 && table <= 236 * 4 && table % 4 == 0, "a bad colour table");
        // Every pixel must name a colour of the table.
        const std::size_t stride = kivo::bmpStride(picture.width, 8);
        for (std::int32_t y = 0; y < picture.height; ++y) {
            const std::uint8_t* row = picture.pixels.get() + stride * static_cast<std::size_t>(y);
            for (std::int32_t x = 0; x < picture.width; ++x) {
                expect(row[x] < table / 4, "a pixel beyond the colour table");
            }
        }
    }
    kivo::writeBmpFile(bitmapPath, picture);
    kivo::checkBitmapFile(bitmapPath);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const long long claimed = claimedPixels(data, size);
    if (claimed > kFuzzedPixels && claimed <= kivo::kMaxPicturePixels) {
        return -1; // not added to the corpus
    }
    const std::string file = kivo::fuzz::inputFile(data, size, "picture.jpg");
    for (const bool fewColours : {false, true}) {
        kivo::BmpPicture picture;
        try {
            picture = kivo::decodeJpegFile(file, fewColours);
        } catch (const kivo::KivoError&) {
            continue;
        }
        try {
            checkPicture(picture, file + ".bmp");
        } catch (const kivo::KivoError& error) {
            expect(false, error.what());
        }
    }
    return 0;
}
