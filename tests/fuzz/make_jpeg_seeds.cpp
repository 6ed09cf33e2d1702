// Writes the JPEG fuzzer's seeds into the folder given: small files from libjpeg's compressor,
// colour and grey, baseline and progressive, with sizes that leave partial blocks.
#include "jpeg_maker.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s folder\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);

    struct Seed {
        const char* name;
        int width;
        int height;
        kivo::test::JpegOptions options;
    };
    const Seed seeds[] = {
        {"colour", 16, 16, {}},
        {"colour-odd", 13, 7, {.quality = 50}},
        {"grey", 16, 16, {.grey = true}},
        {"progressive", 24, 16, {.progressive = true}},
        {"progressive-grey", 9, 17, {.grey = true, .progressive = true}},
        {"one-pixel", 1, 1, {}},
    };
    for (const Seed& seed : seeds) {
        std::ofstream out(folder / (std::string(seed.name) + ".jpg"), std::ios::binary);
        out << kivo::test::makeJpeg(seed.width, seed.height, seed.options);
        if (!out) {
            std::fprintf(stderr, "cannot write %s\n", seed.name);
            return 1;
        }
    }
    return 0;
}
