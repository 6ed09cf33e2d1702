#pragma once

#include "core/desktop.h"

#include <windows.h>

namespace kivo::win32 {

inline HCURSOR systemCursor(CursorShape cursor) {
    switch (cursor) {
    case CursorShape::Hand:
        return LoadCursorW(nullptr, IDC_HAND);
    case CursorShape::SizeAll:
        return LoadCursorW(nullptr, IDC_SIZEALL);
    case CursorShape::Forbidden:
        break;
    }
    return LoadCursorW(nullptr, IDC_NO);
}

} // namespace kivo::win32
