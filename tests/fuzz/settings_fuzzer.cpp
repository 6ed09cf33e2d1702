// The settings reader on whole files. Its answer to a bad file is a KivoError; anything else
// (a crash, a sanitizer report, another exception, a leak) is a fault. A file it reads without
// error must come back the same through the writer.
#include "core/error.h"
#include "core/settings/settings_file.h"
#include "input_file.h"

#include <cstdint>
#include <string>

using kivo::fuzz::expect;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string file = kivo::fuzz::inputFile(data, size, "soxran.txt");
    kivo::KivoState state;
    kivo::WindowBounds window{};
    try {
        kivo::readSettings(file, state, window);
    } catch (const kivo::KivoError&) {
        return 0;
    }

    const std::string copy = file + ".written";
    kivo::writeSettings(copy, state, window, {window.width, window.height});
    kivo::KivoState again;
    kivo::WindowBounds againWindow{};
    kivo::readSettings(copy, again, againWindow);
    expect(again.ImagePath == state.ImagePath, "the picture's path changed in a round trip");
    expect(again.Vid == state.Vid, "Vid changed in a round trip");
    expect(again.Flpv == state.Flpv, "flpv changed in a round trip");
    expect(againWindow == window, "the window changed in a round trip");
    return 0;
}
