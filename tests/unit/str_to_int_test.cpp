#include "core/settings/settings_file.h"
#include "error_of.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <utility>

namespace kivo {
namespace {

TEST(StrToInt, ConvertsDecimalAndHexadecimalWithSigns) {
    const std::pair<const char*, std::int32_t> cases[] = {
        {"0", 0},
        {"42", 42},
        {"+7", 7},
        {"-7", -7},
        {"   12", 12},
        {"007", 7},
        {"2147483647", std::numeric_limits<std::int32_t>::max()},
        {"-2147483648", std::numeric_limits<std::int32_t>::min()},
        {"$2", 2},
        {"$ff", 255},
        {"xFF", 255},
        {"X10", 16},
        {"0x1A", 26},
        {"0X1a", 26},
        {"-$10", -16},
        {"+0x10", 16},
        {"$7FFFFFFF", std::numeric_limits<std::int32_t>::max()},
        {"$80000000", std::numeric_limits<std::int32_t>::min()},
        {"$FFFFFFFF", -1},
        {"-$FFFFFFFF", 1},
        {"-$80000000", std::numeric_limits<std::int32_t>::min()},
        {"$00000000FF", 255},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(strToInt(text), expected) << text;
    }
}

TEST(StrToInt, RefusesAnythingElseQuotingTheText) {
    const char* const cases[] = {
        "",           " ",           "-",
        "+",          "$",           "x",
        "0x",         "-$",          "1 ",
        "1x",         "12a",         "--1",
        "+-1",        "$-1",         "1.0",
        "\t1",        "$G",          "$100000000",
        "2147483648", "-2147483649", "99999999999999999999",
        "0x 1",       "- 1",         "$1FFFFFFFF",
        " 1 ",
    };
    for (const char* text : cases) {
        EXPECT_EQ(test::errorOf([&] { strToInt(text); }),
                  "'" + std::string(text) + "' is not a valid integer value");
    }
}

} // namespace
} // namespace kivo
