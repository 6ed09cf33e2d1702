// Writes the settings fuzzer's seeds into the folder given: files as the program's own writer
// makes them, over the range of values it can record.
#include "core/settings/settings_file.h"

#include <cstdio>
#include <filesystem>
#include <string>

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s folder\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);

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
    return 0;
}
