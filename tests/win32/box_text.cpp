// For the end-to-end scenarios: writes the message of the box that has the focus, as UTF-8,
// into the file named on the command line. Under Wine a box puts nothing on the X clipboard,
// so the scenarios ask the system itself, from a process of the same Wine server.
#include "core/system/utf16.h"

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>
#include <windows.h>

namespace {

// A box shows its message in its one text control, beside an icon control.
BOOL CALLBACK keepMessage(HWND control, LPARAM found) {
    wchar_t name[16] = {};
    GetClassNameW(control, name, 16);
    std::vector<wchar_t> text(1 << 16);
    const bool isText = lstrcmpiW(name, L"Static") == 0 &&
                        (GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK) != SS_ICON;
    const int length =
        isText ? GetWindowTextW(control, text.data(), static_cast<int>(text.size())) : 0;
    if (length > 0) {
        reinterpret_cast<std::wstring*>(found)->assign(text.data(), length);
        return FALSE;
    }
    return TRUE;
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
    std::ofstream out(argv[1], std::ios::binary);
    out << kivo::fromWide(message);
    out.close();
    return out ? 0 : 1;
}
