#include "window_region.h"

#include "core/window/display_scale.h"

#include <vector>

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

GdiObject<HRGN> scaledRegion(HRGN region, int dpi) {
    const DWORD bytes = GetRegionData(region, 0, nullptr);
    std::vector<char> buffer(bytes);
    auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
    if (bytes == 0 || GetRegionData(region, bytes, data) == 0) {
        return nullptr;
    }
    auto* rects = reinterpret_cast<RECT*>(data->Buffer);
    for (DWORD i = 0; i < data->rdh.nCount; ++i) {
        const Box box =
            toDevicePixels(Box{rects[i].left, rects[i].top, rects[i].right, rects[i].bottom}, dpi);
        rects[i] = {box.left, box.top, box.right, box.bottom};
    }
    const Box bound = toDevicePixels(Box{data->rdh.rcBound.left, data->rdh.rcBound.top,
                                         data->rdh.rcBound.right, data->rdh.rcBound.bottom},
                                     dpi);
    data->rdh.rcBound = {bound.left, bound.top, bound.right, bound.bottom};
    return GdiObject<HRGN>(ExtCreateRegion(nullptr, bytes, data));
}

void setWindowOutline(HWND window, const Outline& outline, int dpi) {
    GdiObject<HRGN> region = regionFor(outline);
    if (region && dpi != kDesignDpi) {
        region = scaledRegion(region.get(), dpi);
        if (!region) {
            return;
        }
    }
    if (SetWindowRgn(window, region.get(), TRUE) != 0) {
        region.release(); // the window's now
    }
}

} // namespace kivo::win32
