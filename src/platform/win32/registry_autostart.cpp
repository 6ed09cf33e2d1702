#include "registry_autostart.h"

#include "core/error.h"
#include "core/system/utf16.h"

#include <memory>
#include <type_traits>
#include <windows.h>

namespace kivo::win32 {

namespace {

struct KeyCloser {
    void operator()(HKEY key) const { RegCloseKey(key); }
};
using OpenKey = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser>;

OpenKey openForWriting(const std::wstring& keyPath) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_SET_VALUE, &key) !=
        ERROR_SUCCESS) {
        return nullptr;
    }
    return OpenKey(key);
}

} // namespace

std::wstring autostartCommand(const std::string& executable) {
    const std::wstring path = toWide(executable);
    return path.find(L' ') == std::wstring::npos ? path : L"\"" + path + L"\"";
}

bool writeAutostartValue(const std::wstring& keyPath, const std::string& name,
                         const std::string& executable) {
    const OpenKey key = openForWriting(keyPath);
    const std::wstring command = autostartCommand(executable);
    const auto bytes = static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t));
    return key &&
           RegSetValueExW(key.get(), toWide(name).c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(command.c_str()), bytes) == ERROR_SUCCESS;
}

void deleteAutostartValue(const std::wstring& keyPath, const std::string& name) {
    if (const OpenKey key = openForWriting(keyPath)) {
        RegDeleteValueW(key.get(), toWide(name).c_str());
    }
}

} // namespace kivo::win32
