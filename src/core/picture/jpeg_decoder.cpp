#include "core/picture/jpeg_decoder.h"
#include "core/system/files.h"

#include "core/error.h"
#include "core/picture/bitmap_check.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

#include <jerror.h>

namespace kivo {

namespace {

constexpr int kPaletteColours = 236;
// Each scan of a progressive file passes over the whole picture; real files have a dozen.
constexpr int kMaxScans = 500;
// libjpeg's own buffers at the largest size taken: a progressive picture's coefficients (2 bytes
// a sample, 3 samples a pixel) and the two-pass quantiser's copy (3 bytes a pixel), with room.
constexpr long kMaxDecoderMemory = static_cast<long>(kMaxPicturePixels * 10);

// Plain data only, zero-initialised by the caller: libjpeg leaves a failed call by longjmp.
struct Decoding {
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr errors;
    jpeg_progress_mgr progress;
    std::jmp_buf failed;
    std::uint8_t* pixels; // malloc'd, bottom-up rows as a BMP file stores them
    JSAMPROW* rows;       // malloc'd, a pointer to each row of `pixels`, top row first
    std::int32_t width;
    std::int32_t height;
    int bitsPerPixel;
    int colours;
    std::uint8_t colourTable[256 * 4];
};

[[noreturn]] void leaveDecoder(j_common_ptr cinfo) {
    std::longjmp(static_cast<Decoding*>(cinfo->client_data)->failed, 1);
}

void ignoreMessage(j_common_ptr, int) {}

void limitScans(j_common_ptr cinfo) {
    if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans) {
        ERREXIT(cinfo, JERR_BAD_SCAN_SCRIPT); // libjpeg's decoder never raises this one
    }
}

void chooseOutput(j_decompress_ptr cinfo, bool fewColours) {
    const bool grey = cinfo->num_components == 1;
    if (!grey && !fewColours) {
        cinfo->out_color_space = JCS_EXT_BGR; // a BMP file's byte order
        return;
    }
    if (!grey) {
        cinfo->out_color_space = JCS_RGB;
    }
    cinfo->quantize_colors = TRUE;
    cinfo->desired_number_of_colors = kPaletteColours;
    cinfo->two_pass_quantize = grey ? FALSE : TRUE;
    cinfo->dither_mode = JDITHER_FS;
}

void copyColourTable(j_decompress_ptr cinfo, Decoding* d) {
    d->colours = cinfo->actual_number_of_colors;
    const bool grey = cinfo->out_color_components == 1;
    for (int i = 0; i < d->colours; ++i) {
        std::uint8_t* entry = d->colourTable + 4 * i;
        entry[0] = cinfo->colormap[grey ? 0 : 2][i];
        entry[1] = cinfo->colormap[grey ? 0 : 1][i];
        entry[2] = cinfo->colormap[0][i];
    }
}

void allocateRows(j_decompress_ptr cinfo, Decoding* d) {
    d->width = static_cast<std::int32_t>(cinfo->output_width);
    d->height = static_cast<std::int32_t>(cinfo->output_height);
    d->bitsPerPixel = cinfo->quantize_colors ? 8 : 24;
    const std::size_t stride = bmpStride(d->width, d->bitsPerPixel);
    const auto height = static_cast<std::size_t>(d->height);
    // Zeroed, so the rows' padding is written as zeros.
    d->pixels = static_cast<std::uint8_t*>(std::calloc(height, stride));
    d->rows = static_cast<JSAMPROW*>(std::malloc(height * sizeof(JSAMPROW)));
    if (d->pixels == nullptr || d->rows == nullptr) {
        ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 0);
    }
    for (std::size_t y = 0; y < height; ++y) {
        d->rows[y] = d->pixels + (height - 1 - y) * stride;
    }
}

// Returns 0, or libjpeg's message code once everything it took is freed. Holds no object with
// a destructor, as libjpeg's errors longjmp back into it.
int decode(Decoding* d, std::FILE* file, bool fewColours) {
    j_decompress_ptr cinfo = &d->cinfo;
    cinfo->err = jpeg_std_error(&d->errors);
    d->errors.error_exit = leaveDecoder;
    d->errors.emit_message = ignoreMessage;
    cinfo->client_data = d;
    if (setjmp(d->failed) != 0) {
        jpeg_destroy_decompress(cinfo);
        std::free(d->rows);
        std::free(d->pixels);
        d->pixels = nullptr;
        return d->errors.msg_code;
    }
    jpeg_create_decompress(cinfo);
    cinfo->mem->max_memory_to_use = kMaxDecoderMemory;
    d->progress.progress_monitor = limitScans;
    cinfo->progress = &d->progress;
    jpeg_stdio_src(cinfo, file);
    jpeg_read_header(cinfo, TRUE);
    // Refused before anything is allocated for it.
    // What the picture check would refuse once converted is refused before decoding.
    if (cinfo->image_width > kMaxPictureSide || cinfo->image_height > kMaxPictureSide ||
        static_cast<long long>(cinfo->image_width) * cinfo->image_height > kMaxPicturePixels) {
        ERREXIT(cinfo, JERR_IMAGE_TOO_BIG);
    }
    chooseOutput(cinfo, fewColours);
    jpeg_start_decompress(cinfo);
    allocateRows(cinfo, d);
    while (cinfo->output_scanline < cinfo->output_height) {
        jpeg_read_scanlines(cinfo, d->rows + cinfo->output_scanline,
                            cinfo->output_height - cinfo->output_scanline);
    }
    if (cinfo->quantize_colors) {
        copyColourTable(cinfo, d);
    }
    jpeg_finish_decompress(cinfo);
    jpeg_destroy_decompress(cinfo);
    std::free(d->rows);
    return 0;
}

} // namespace

BmpPicture decodeJpegFile(const std::string& path, bool fewColours) {
    std::FILE* file = openForReading(path);
    Decoding decoding{};
    const int code = decode(&decoding, file, fewColours);
    std::fclose(file);
    if (code != 0) {
        throw KivoError("JPEG error #" + std::to_string(code));
    }
    BmpPicture picture;
    picture.pixels.reset(decoding.pixels);
    picture.width = decoding.width;
    picture.height = decoding.height;
    picture.bitsPerPixel = decoding.bitsPerPixel;
    picture.colourTable.assign(decoding.colourTable, decoding.colourTable + 4 * decoding.colours);
    return picture;
}

} // namespace kivo
