#include "window_region.h"

namespace kivo::win32 {

GdiObject<HRGN> regionFor(const Outline& outline) {
    const Box& box = outline.box;
    // The region functions give a box with no area a pixel of its own; such an outline shows
    // nothing.
    if (outline.kind != OutlineKind::Whole && (box.left == box.right || box.top == box.bottom)) {
        return GdiObject<HRGN>(CreateRectRgn(0, 0, 0, 0));
    }
    switch (outline.kind) {
    case OutlineKind::RoundRect:
        return GdiObject<HRGN>(CreateRoundRectRgn(box.left, box.top, box.right, box.bottom,
                                                  kRoundCornerSize, kRoundCornerSize));
    case OutlineKind::Rect:
        return GdiObject<HRGN>(CreateRectRgn(box.left, box.top, box.right, box.bottom));
    case OutlineKind::Ellipse:
        return GdiObject<HRGN>(CreateEllipticRgn(box.left, box.top, box.right, box.bottom));
    case OutlineKind::Whole:
        break;
    }
    return nullptr;
}

void setWindowOutline(HWND window, const Outline& outline) {
    GdiObject<HRGN> region = regionFor(outline);
    if (SetWindowRgn(window, region.get(), TRUE) != 0) {
        region.release(); // the window's now
    }
}

} // namespace kivo::win32
