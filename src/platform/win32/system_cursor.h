#pragma once

#include "core/desktop.h"

#include <cstddef>
#include <windows.h>

namespace kivo::win32 {

inline HCURSOR systemCursor(CursorShape cursor) {
    // In the order of CursorShape.
    static const LPCWSTR kIds[] = {IDC_HAND, IDC_SIZEALL, IDC_NO, IDC_ARROW};
    return LoadCursorW(nullptr, kIds[static_cast<std::size_t>(cursor)]);
}

} // namespace kivo::win32
