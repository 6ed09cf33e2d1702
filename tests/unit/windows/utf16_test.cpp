#include "core/system/utf16.h"

#include <gtest/gtest.h>

namespace kivo {
namespace {

TEST(Utf16, CyrillicAndCharactersBeyondTheBasicPlaneSurviveTheRoundTrip) {
    const std::string utf8 = "Картинка \xF0\x9F\x8C\xB8 C:\\image\\1.bmp";
    const std::wstring wide = toWide(utf8);
    EXPECT_EQ(wide, L"Картинка \U0001F338 C:\\image\\1.bmp");
    EXPECT_EQ(fromWide(wide), utf8);
    EXPECT_EQ(toWide(""), L"");
    EXPECT_EQ(fromWide(L""), "");
}

TEST(Utf16, TheRussianCodePageIsItsOwnBytes) {
    constexpr unsigned kCyrillic = 1251;
    EXPECT_EQ(fromWide(L"Киво", kCyrillic), "\xCA\xE8\xE2\xEE");
    EXPECT_EQ(toWide("\xCA\xE8\xE2\xEE", kCyrillic), L"Киво");
}

} // namespace
} // namespace kivo
