#pragma once

#include "core/desktop.h"

#include <Qt>
#include <cstddef>

namespace kivo::qt {

inline Qt::CursorShape qtCursor(CursorShape cursor) {
    // In the order of CursorShape.
    constexpr Qt::CursorShape kShapes[] = {Qt::PointingHandCursor, Qt::SizeAllCursor,
                                           Qt::ForbiddenCursor, Qt::ArrowCursor};
    return kShapes[static_cast<std::size_t>(cursor)];
}

} // namespace kivo::qt
