// Writes the fuzzers' seeds into the two folders given: settings files as the program's own
// writer makes them, over the range of values it can record; and small JPEGs from libjpeg's
// compressor, colour and grey, baseline and progressive, with sizes that leave partial blocks.
#include "core/settings/settings_file.h"
#include "jpeg_maker.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

void writeSettingsSeeds(const std::filesystem::path& folder) {
    struct Seed {
        const char* imagePath;
        kivo::WindowBounds window;
        kivo::Size picture;
        int vid;
        int flpv;
    };
    const Seed seeds[] = {
        {"/opt/kivo/image/1.bmp", {0, 0, 280, 279}, {280, 280}, 2, 0},
        {"/home/user/Картинки/море.bmp", {412, 96, 300, 240}, {300, 240}, 0, 1},
        {"C:\\Prog\\image\\sea.bmp", {-1280, -2147483647 - 1, 1, 1}, {100, 100}, 1, 1},
        {"", {2147483647, -1, 0, 0}, {65535, 1}, -7, 2},
    };
    int number = 0;
    for (const Seed& seed : seeds) {
        kivo::KivoState state;
        state.ImagePath = seed.imagePath;
        state.Vid = seed.vid;
        state.Flpv = seed.flpv;
        const auto file = folder / ("written-" + std::to_string(++number) + ".txt");
        kivo::writeSettings(file.string(), state, seed.window, seed.picture);
    }
}

bool writeJpegSeeds(const std::filesystem::path& folder) {
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
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s settings-folder jpeg-folder\n", argv[0]);
        return 2;
    }
    std::filesystem::create_directories(argv[1]);
    std::filesystem::create_directories(argv[2]);
    writeSettingsSeeds(argv[1]);
    return writeJpegSeeds(argv[2]) ? 0 : 1;
}
