// For the end-to-end scenarios: writes the message of the box that has the focus, as UTF-8,
// into the file named on the command line. Under Wine a box puts nothing on the X clipboard,
// so the scenarios ask the system itself, from a process of the same Wine server.
#include <cstdio>
#include <string>
#include <vector>
#include <windows.h>

namespace {

bool isStatic(HWND control) {
    wchar_t name[16] = {};
    GetClassNameW(control, name, 16);
    return lstrcmpiW(name, L"Static") == 0 &&
           (GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK) != SS_ICON;
}

// A box shows its message in its one text control, beside an icon control.
BOOL CALLBACK keepMessage(HWND control, LPARAM found) {
    if (!isStatic(control)) {
        return TRUE;
    }
    std::vector<wchar_t> text(1 << 16);
    const int length = GetWindowTextW(control, text.data(), static_cast<int>(text.size()));
    if (length > 0) {
        reinterpret_cast<std::wstring*>(found)->assign(text.data(), length);
        return FALSE;
    }
    return TRUE;
}

std::string toUtf8(const std::wstring& wide) {
    if (wide.empty()) {
        return {};
    }
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string utf8(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), size,
                        nullptr, nullptr);
    return utf8;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: box_text OUTPUT-FILE\n", stderr);
        return 2;
    }
    HWND box = GetForegroundWindow();
    if (box == nullptr) {
        return 1;
    }
    std::wstring message;
    EnumChildWindows(box, keepMessage, reinterpret_cast<LPARAM>(&message));
    if (message.empty()) {
        return 1;
    }
    const std::string bytes = toUtf8(message);
    std::FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr) {
        return 1;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    return std::fclose(out) == 0 && written ? 0 : 1;
}
