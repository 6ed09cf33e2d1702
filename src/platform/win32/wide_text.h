#pragma once

#include <string>

namespace kivo::win32 {

// The core's texts and paths are UTF-8 bytes; Windows takes them as UTF-16 through the W
// functions, whatever the system's code page.
std::wstring toWide(const std::string& text);
std::string toUtf8(const std::wstring& text);

} // namespace kivo::win32
