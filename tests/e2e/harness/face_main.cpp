// The scenarios' entry: --face=NAME picks the build they drive (linux, win64, win32).
#include "face.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    kivo::e2e::chooseFace(argc, argv);
    return RUN_ALL_TESTS();
}
