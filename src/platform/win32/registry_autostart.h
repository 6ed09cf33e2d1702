#pragma once

#include <string>

namespace kivo::win32 {

// HKEY_CURRENT_USER's list of programs started at logon.
inline constexpr const wchar_t* kRunKeyPath = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

// The command the Run key holds: the path, quoted when it holds blanks, so that the shell does
// not start "C:\Program" for "C:\Program Files\...".
std::wstring autostartCommand(const std::string& executable);

// Writes the value `name` under HKEY_CURRENT_USER\keyPath, which is opened, never created;
// false when the key cannot be opened or written.
bool writeAutostartValue(const std::wstring& keyPath, const std::string& name,
                         const std::string& executable);

// Deletes the value; a missing value or key is not an error.
void deleteAutostartValue(const std::wstring& keyPath, const std::string& name);

} // namespace kivo::win32
