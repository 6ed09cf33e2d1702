#pragma once

#include <string>

// Windows' UTF-16, for the W functions.
namespace kivo {

inline constexpr unsigned kUtf8CodePage = 65001;

std::wstring toWide(const std::string& text, unsigned codePage = kUtf8CodePage);
std::string fromWide(const std::wstring& text, unsigned codePage = kUtf8CodePage);

} // namespace kivo
