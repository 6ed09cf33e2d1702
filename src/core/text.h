#pragma once

#include <string>

namespace kivo {

// Folding touches only the ASCII letters, whatever the locale; other bytes stay as they are.
inline char asciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

inline char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// UTF-8: a byte that begins a character, not one that continues it.
inline bool startsCharacter(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
}

inline std::string asciiUpper(std::string text) {
    for (char& c : text) {
        c = asciiUpper(c);
    }
    return text;
}

} // namespace kivo
