// Times the JPEG to BMP conversion against djpeg and ImageMagick on the same 12-megapixel
// files, each as a whole process started the same way, interleaved run by run; prints a
// markdown section.
#include "jpeg_maker.h"
#include "median.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

using kivo::bench::median;

constexpr int kRuns = 7;

struct Converter {
    const char* name;
    std::vector<std::string> argv; // IN and OUT stand for the files
    std::vector<double> seconds;
};

// Wall time of one run, started directly (no shell) and waited for.
double timeRun(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    int status = 0;
    if (posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0 ||
        waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "failed: %s\n", argv[0].c_str());
        std::exit(1);
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::vector<std::string> withFiles(const std::vector<std::string>& argv, const std::string& in,
                                   const std::string& out) {
    std::vector<std::string> result;
    for (const std::string& arg : argv) {
        result.push_back(arg == "IN" ? in : arg == "OUT" ? out : arg);
    }
    return result;
}

bool haveImageMagick() {
    return std::system("convert -version 2>/dev/null | grep -q ImageMagick") == 0;
}

} // namespace

int main() {
    const auto folder = std::filesystem::temp_directory_path() / "kivo-bench-conversion";
    std::filesystem::create_directories(folder);
    const bool magick = haveImageMagick();

    std::printf("## Conversion of a 4000 x 3000 JPEG (whole processes, interleaved, median of "
                "%d runs)\n\n",
                kRuns);
    std::printf(
        "| picture | kivo | djpeg | ratio | ImageMagick | ratio |\n|---|---|---|---|---|---|\n");
    for (const bool grey : {false, true}) {
        const auto jpeg = folder / (grey ? "grey.jpg" : "colour.jpg");
        std::ofstream(jpeg, std::ios::binary) << kivo::test::makeJpeg(
            4000, 3000, {.grey = grey, .progressive = false, .quality = 90});
        std::vector<Converter> converters = {
            {"kivo", {KIVO_BENCH_CONVERT_DRIVER, "IN", "OUT"}, {}},
            // The program's output for a grey picture: 236 levels by the one-pass quantiser.
            {"djpeg",
             grey ? std::vector<std::string>{"djpeg", "-bmp", "-colors", "236", "-onepass",
                                             "-dither", "fs", "-outfile", "OUT", "IN"}
                  : std::vector<std::string>{"djpeg", "-bmp", "-outfile", "OUT", "IN"},
             {}}};
        if (magick) {
            converters.push_back({"ImageMagick", {"convert", "IN", "BMP3:OUT"}, {}});
        }
        for (int run = 0; run < kRuns; ++run) {
            for (Converter& converter : converters) {
                const std::string out = (folder / (std::string(converter.name) + ".bmp")).string();
                converter.seconds.push_back(timeRun(withFiles(converter.argv, jpeg.string(), out)));
            }
        }
        const double kivoSeconds = median(converters[0].seconds);
        const double djpegSeconds = median(converters[1].seconds);
        std::printf("| %s | %.3f s | %.3f s | %.2f | ", grey ? "grey, 236 levels" : "colour",
                    kivoSeconds, djpegSeconds, kivoSeconds / djpegSeconds);
        if (magick) {
            const double magickSeconds = median(converters[2].seconds);
            std::printf("%.3f s | %.2f |\n", magickSeconds, kivoSeconds / magickSeconds);
        } else {
            std::printf("not installed | |\n");
        }
    }
    std::printf("\nEach converter is a process started directly and waited for; the runs take "
                "turns, one of each in every round.\n\n");
    std::filesystem::remove_all(folder);
    return 0;
}
