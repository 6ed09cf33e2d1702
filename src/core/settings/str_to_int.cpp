#include "core/error.h"
#include "core/settings/settings_file.h"

#include <cstdint>
#include <optional>

namespace kivo {

namespace {

int hexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Length of the hexadecimal prefix at `at`: "$", "x", "X" or "0x", "0X"; 0 when there is none.
std::size_t hexPrefixLength(const std::string& text, std::size_t at) {
    if (at < text.size() && (text[at] == '$' || text[at] == 'x' || text[at] == 'X')) {
        return 1;
    }
    if (at + 1 < text.size() && text[at] == '0' && (text[at + 1] == 'x' || text[at + 1] == 'X')) {
        return 2;
    }
    return 0;
}

// The value of decimal digits, when it is at most `limit` (itself at most 2^31).
std::optional<std::uint32_t> decimalValue(const std::string& digits, std::uint32_t limit) {
    std::uint64_t value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
        if (value > limit) {
            return std::nullopt;
        }
    }
    return static_cast<std::uint32_t>(value);
}

// The 32-bit pattern of at most 8 significant hexadecimal digits.
std::optional<std::uint32_t> hexPattern(const std::string& digits) {
    std::uint32_t pattern = 0;
    int significant = 0;
    for (const char c : digits) {
        const int digit = hexDigitValue(c);
        if (digit < 0) {
            return std::nullopt;
        }
        if (pattern != 0 || digit != 0) {
            ++significant;
        }
        if (significant > 8) {
            return std::nullopt;
        }
        pattern = pattern * 16 + static_cast<std::uint32_t>(digit);
    }
    return pattern;
}

} // namespace

std::int32_t strToInt(const std::string& text) {
    std::size_t at = text.find_first_not_of(' ');
    if (at == std::string::npos) {
        at = text.size();
    }
    const bool negative = at < text.size() && text[at] == '-';
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) {
        ++at;
    }
    const std::size_t prefix = hexPrefixLength(text, at);
    const std::string digits = text.substr(at + prefix);

    std::optional<std::uint32_t> magnitude;
    if (!digits.empty()) {
        magnitude = prefix > 0 ? hexPattern(digits)
                               : decimalValue(digits, negative ? 0x80000000u : 0x7FFFFFFFu);
    }
    if (!magnitude) {
        // The message is read back as C text, which a NUL would cut short: U+FFFD stands in.
        std::string shown;
        for (const char c : text) {
            shown += c == '\0' ? std::string("\xEF\xBF\xBD") : std::string(1, c);
        }
        throw KivoError("'" + shown + "' is not a valid integer value");
    }
    // Unsigned negation wraps, so -$80000000 and -2147483648 both give the lowest int32.
    return static_cast<std::int32_t>(negative ? 0u - *magnitude : *magnitude);
}

} // namespace kivo
