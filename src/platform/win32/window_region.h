#pragma once

#include "core/shape/outline.h"
#include "gdi_object.h"

#include <windows.h>

namespace kivo::win32 {

// The native region of an outline; none for Whole.
GdiObject<HRGN> regionFor(const Outline& outline);

// Hands the outline to the window, which owns the region from then on, and redraws it.
void setWindowOutline(HWND window, const Outline& outline);

} // namespace kivo::win32
