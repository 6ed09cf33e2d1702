// Times the JPEG to BMP conversion against djpeg and ImageMagick on the same 12-megapixel
// files; prints a markdown section.
#include "core/picture/bmp_writer.h"
#include "core/picture/jpeg_decoder.h"
#include "jpeg_maker.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kRuns = 7;

double medianSeconds(const std::function<void()>& work) {
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) {
        const auto start = std::chrono::steady_clock::now();
        work();
        times.push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void runCommand(const std::string& command) {
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "failed: %s\n", command.c_str());
        std::exit(1);
    }
}

bool haveCommand(const std::string& name) {
    return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

} // namespace

int main() {
    const auto folder = std::filesystem::temp_directory_path() / "kivo-bench-conversion";
    std::filesystem::create_directories(folder);
    const bool magick = haveCommand("convert") && std::system("convert -version 2>/dev/null | "
                                                              "grep -q ImageMagick") == 0;

    std::printf("## Conversion of a 4000 x 3000 JPEG (median of %d runs)\n\n", kRuns);
    std::printf(
        "| picture | kivo | djpeg | ratio | ImageMagick | ratio |\n|---|---|---|---|---|---|\n");
    for (const bool grey : {false, true}) {
        const auto jpeg = folder / (grey ? "grey.jpg" : "colour.jpg");
        std::ofstream(jpeg, std::ios::binary) << kivo::test::makeJpeg(
            4000, 3000, {.grey = grey, .progressive = false, .quality = 90});
        const std::string ours = (folder / "ours.bmp").string();
        const std::string theirs = (folder / "theirs.bmp").string();

        const double kivoSeconds = medianSeconds(
            [&] { kivo::writeBmpFile(ours, kivo::decodeJpegFile(jpeg.string(), false)); });
        const std::string djpegArgs = grey ? "-bmp -colors 236 -onepass -dither fs" : "-bmp";
        const double djpegSeconds = medianSeconds([&] {
            runCommand("djpeg " + djpegArgs + " -outfile '" + theirs + "' '" + jpeg.string() + "'");
        });
        double magickSeconds = 0;
        if (magick) {
            magickSeconds = medianSeconds(
                [&] { runCommand("convert '" + jpeg.string() + "' BMP3:'" + theirs + "'"); });
        }
        std::printf("| %s | %.3f s | %.3f s | %.2f | ", grey ? "grey, 236 levels" : "colour",
                    kivoSeconds, djpegSeconds, kivoSeconds / djpegSeconds);
        if (magick) {
            std::printf("%.3f s | %.2f |\n", magickSeconds, kivoSeconds / magickSeconds);
        } else {
            std::printf("not installed | |\n");
        }
    }
    std::printf("\nkivo converts in-process; djpeg and ImageMagick run as processes.\n\n");
    std::filesystem::remove_all(folder);
    return 0;
}
