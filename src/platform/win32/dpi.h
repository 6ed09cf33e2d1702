#pragma once

#include "core/window/display_scale.h"

#include <vector>
#include <windows.h>

namespace kivo::win32 {

// The DPI functions of per-monitor aware Windows (10, version 1607 on), looked up at run time;
// on older systems each falls back to the system's one DPI.
int windowDpi(HWND window);
// The monitor's area and the DPI it draws at.
Monitor monitorOf(HMONITOR monitor);
// Every monitor, the primary first.
std::vector<Monitor> monitors();
// The system's fonts (the message font among them) at a DPI.
NONCLIENTMETRICSW nonClientMetrics(int dpi);
int systemMetric(int index, int dpi);
// The outer rectangle of a window whose client area is the rectangle, at a DPI.
RECT outerRect(RECT client, DWORD style, DWORD exStyle, int dpi);

} // namespace kivo::win32
