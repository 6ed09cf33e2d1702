#pragma once

#include "gdi_object.h"

#include <string>

namespace kivo::win32 {

// A bitmap for the screen from a BMP file's bytes, which the core has read and checked; null
// when GDI refuses them. Read through the core, a file's path is not limited to MAX_PATH as
// LoadImage's is.
GdiObject<HBITMAP> bitmapFromFile(const std::string& bytes);

} // namespace kivo::win32
