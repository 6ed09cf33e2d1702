#include "core/window/form_kivo.h"

#include <gtest/gtest.h>

namespace kivo {
namespace {

TEST(WindowsPaths, ASlashSeparatesLikeABackslash) {
    EXPECT_EQ(programDirOf("C:/Prog/KIVO.EXE"), "C:/Prog/");
    EXPECT_EQ(applicationTitleFor("C:\\Prog/KIVO.EXE"), "Kivo");
}

} // namespace
} // namespace kivo
