#pragma once

#include "core/geometry.h"

namespace kivo {

// The program's pixels are those of a 96-DPI display; a display at another DPI shows each of
// them as dpi / 96 device pixels. The settings file, the screen size and the never-lost rule
// all count in the program's pixels, whatever the display's scale.
inline constexpr int kDesignDpi = 96;

// Lengths and edges, rounded to the nearest pixel (halves away from zero), so that edges that
// meet in the program's pixels meet in device pixels too.
int toDevicePixels(int logical, int dpi);
int toLogicalPixels(int device, int dpi);
Box toDevicePixels(const Box& box, int dpi);

// A monitor as the system reports it: its area in device pixels and its DPI.
struct Monitor {
    Box device;
    int dpi = kDesignDpi;
};

// Places on the desktop: each monitor keeps its top-left corner, and what lies on it scales
// from there, as Qt maps its device-independent pixels.
Box logicalArea(const Monitor& monitor);
Point toLogicalPlace(Point device, const Monitor& monitor);
Point toDevicePlace(Point logical, const Monitor& monitor);

} // namespace kivo
