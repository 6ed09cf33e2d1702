#include "face.h"

#include <cstring>
#include <stdexcept>

namespace kivo::e2e {

namespace {

const Face* chosen = nullptr;

} // namespace

const Face& currentFace() {
    return chosen != nullptr ? *chosen : linuxFace();
}

void chooseFace(int& argc, char** argv) {
    constexpr const char* kOption = "--face=";
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], kOption, std::strlen(kOption)) != 0) {
            argv[kept++] = argv[i];
            continue;
        }
        const std::string name = argv[i] + std::strlen(kOption);
        chosen = nullptr;
        for (const Face* face : {&linuxFace(), &windows64Face(), &windows32Face()}) {
            if (face->name() == name) {
                chosen = face;
            }
        }
        if (chosen == nullptr) {
            throw std::invalid_argument("no face " + name + ": linux, win64 or win32");
        }
    }
    argc = kept;
    argv[argc] = nullptr;
}

} // namespace kivo::e2e
