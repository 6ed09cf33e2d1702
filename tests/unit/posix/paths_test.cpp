#include "core/window/form_kivo.h"

#include <gtest/gtest.h>

namespace kivo {
namespace {

TEST(LinuxPaths, ABackslashIsPartOfAFileName) {
    EXPECT_EQ(programDirOf("/opt/a\\b/kivo"), "/opt/a\\b/");
    EXPECT_EQ(applicationTitleFor("/opt/my\\tool.x"), "my\\tool");
}

} // namespace
} // namespace kivo
