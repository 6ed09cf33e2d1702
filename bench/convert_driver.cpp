// The program's own JPEG to BMP conversion as a process of its own, so that the bench times
// it as it times djpeg. Usage: kivo_convert_driver IN.jpg OUT.bmp
#include "core/error.h"
#include "core/picture/bmp_writer.h"
#include "core/picture/jpeg_decoder.h"

#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fputs("usage: kivo_convert_driver IN.jpg OUT.bmp\n", stderr);
        return 2;
    }
    try {
        kivo::writeBmpFile(argv[2], kivo::decodeJpegFile(argv[1], false));
    } catch (const kivo::KivoError& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
