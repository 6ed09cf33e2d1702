#pragma once

#include "core/desktop.h"

#include <Qt>

namespace kivo::qt {

inline Qt::CursorShape qtCursor(CursorShape cursor) {
    switch (cursor) {
    case CursorShape::Hand:
        return Qt::PointingHandCursor;
    case CursorShape::SizeAll:
        return Qt::SizeAllCursor;
    case CursorShape::Forbidden:
        break;
    }
    return Qt::ForbiddenCursor;
}

} // namespace kivo::qt
