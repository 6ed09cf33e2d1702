#pragma once

#include "core/shape/outline.h"
#include "gdi_object.h"

#include <windows.h>

namespace kivo::win32 {

// The native region of an outline; none for Whole.
GdiObject<HRGN> regionFor(const Outline& outline);

// The region in device pixels at a DPI: each of the program's pixels covers the device pixels
// between its edges, so that the whole picture shows at the rest, with no seam between rows.
GdiObject<HRGN> scaledRegion(HRGN region, int dpi);

// Hands the outline, in the program's pixels, to the window at its DPI; the window owns the
// region from then on, and redraws.
void setWindowOutline(HWND window, const Outline& outline, int dpi);

} // namespace kivo::win32
