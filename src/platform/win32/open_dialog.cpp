#include "open_dialog.h"

#include "core/system/utf16.h"

#include <commdlg.h>
#include <vector>

namespace kivo::win32 {

namespace {

// Room for long paths; the dialog reports a longer choice as an error, taken as a cancel.
constexpr std::size_t kPathCapacity = 32768;

// Label and patterns, each ended by a NUL, and a NUL after the pair (c_str() adds that one).
std::wstring filterOf(const OpenDialogModel& model) {
    std::wstring filter = toWide(model.filterLabel);
    filter += L'\0';
    filter += toWide(model.filterPatterns);
    filter += L'\0';
    return filter;
}

} // namespace

std::optional<std::string> runOpenDialog(HWND owner, const OpenDialogModel& model) {
    const std::wstring filter = filterOf(model);
    const std::wstring title = toWide(model.title);
    const std::wstring initialFolder = toWide(model.initialFolder);
    std::vector<wchar_t> path(kPathCapacity, L'\0');
    toWide(model.fileName).copy(path.data(), kPathCapacity - 1);

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = static_cast<DWORD>(path.size());
    dialog.lpstrInitialDir = initialFolder.c_str();
    dialog.lpstrTitle = title.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_HIDEREADONLY;
    if (!GetOpenFileNameW(&dialog)) {
        return std::nullopt;
    }
    return fromWide(path.data());
}

} // namespace kivo::win32
