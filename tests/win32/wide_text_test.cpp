#include "wide_text.h"

#include <gtest/gtest.h>

namespace kivo::win32 {
namespace {

TEST(WideText, CyrillicAndCharactersBeyondTheBasicPlaneSurviveTheRoundTrip) {
    const std::string utf8 = "Картинка \xF0\x9F\x8C\xB8 C:\\image\\1.bmp";
    const std::wstring wide = toWide(utf8);
    EXPECT_EQ(wide, L"Картинка \U0001F338 C:\\image\\1.bmp");
    EXPECT_EQ(toUtf8(wide), utf8);
    EXPECT_EQ(toWide(""), L"");
    EXPECT_EQ(toUtf8(L""), "");
}

} // namespace
} // namespace kivo::win32
