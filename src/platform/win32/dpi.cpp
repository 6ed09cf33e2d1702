#include "dpi.h"

namespace kivo::win32 {

namespace {

// A function of a system library, or null where the system has none.
template <class Function> Function systemFunction(const wchar_t* library, const char* name) {
    HMODULE module = GetModuleHandleW(library);
    if (module == nullptr) {
        module = LoadLibraryW(library); // stays loaded for the process, as the system's own
    }
    FARPROC address = module != nullptr ? GetProcAddress(module, name) : nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(address));
}

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
using SystemParametersInfoForDpiFunction = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
using GetSystemMetricsForDpiFunction = int(WINAPI*)(int, UINT);
using AdjustWindowRectExForDpiFunction = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);

constexpr int kEffectiveDpi = 0; // MDT_EFFECTIVE_DPI

void scaleFont(LOGFONTW& font, int from, int to) {
    font.lfHeight = MulDiv(font.lfHeight, to, from);
}

// The one DPI of a system without per-monitor DPIs.
int systemDpi() {
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kDesignDpi;
}

int monitorDpi(HMONITOR monitor) {
    static const auto getDpiForMonitor =
        systemFunction<GetDpiForMonitorFunction>(L"shcore.dll", "GetDpiForMonitor");
    UINT dpiX = 0;
    UINT dpiY = 0;
    if (getDpiForMonitor != nullptr &&
        getDpiForMonitor(monitor, kEffectiveDpi, &dpiX, &dpiY) == S_OK && dpiY > 0) {
        return static_cast<int>(dpiY);
    }
    return systemDpi();
}

} // namespace

int windowDpi(HWND window) {
    static const auto getDpiForWindow =
        systemFunction<GetDpiForWindowFunction>(L"user32.dll", "GetDpiForWindow");
    const UINT dpi = getDpiForWindow != nullptr ? getDpiForWindow(window) : 0;
    return dpi > 0 ? static_cast<int>(dpi) : systemDpi();
}

Monitor monitorOf(HMONITOR monitor) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(monitor, &info);
    const RECT& r = info.rcMonitor;
    return {{r.left, r.top, r.right, r.bottom}, monitorDpi(monitor)};
}

namespace {

BOOL CALLBACK addMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(monitor, &info)) {
        auto& all = *reinterpret_cast<std::vector<Monitor>*>(list);
        const Monitor found = monitorOf(monitor);
        all.insert((info.dwFlags & MONITORINFOF_PRIMARY) ? all.begin() : all.end(), found);
    }
    return TRUE;
}

} // namespace

std::vector<Monitor> monitors() {
    std::vector<Monitor> all;
    EnumDisplayMonitors(nullptr, nullptr, addMonitor, reinterpret_cast<LPARAM>(&all));
    return all;
}

NONCLIENTMETRICSW nonClientMetrics(int dpi) {
    static const auto forDpi = systemFunction<SystemParametersInfoForDpiFunction>(
        L"user32.dll", "SystemParametersInfoForDpi");
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (forDpi != nullptr &&
        forDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, static_cast<UINT>(dpi))) {
        return metrics;
    }
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    const int system = systemDpi();
    if (system != dpi) {
        for (LOGFONTW* font :
             {&metrics.lfCaptionFont, &metrics.lfSmCaptionFont, &metrics.lfMenuFont,
              &metrics.lfStatusFont, &metrics.lfMessageFont}) {
            scaleFont(*font, system, dpi);
        }
    }
    return metrics;
}

int systemMetric(int index, int dpi) {
    static const auto forDpi =
        systemFunction<GetSystemMetricsForDpiFunction>(L"user32.dll", "GetSystemMetricsForDpi");
    if (forDpi != nullptr) {
        return forDpi(index, static_cast<UINT>(dpi));
    }
    return MulDiv(GetSystemMetrics(index), dpi, systemDpi());
}

RECT outerRect(RECT client, DWORD style, DWORD exStyle, int dpi) {
    static const auto forDpi =
        systemFunction<AdjustWindowRectExForDpiFunction>(L"user32.dll", "AdjustWindowRectExForDpi");
    if (forDpi == nullptr || !forDpi(&client, style, FALSE, exStyle, static_cast<UINT>(dpi))) {
        AdjustWindowRectEx(&client, style, FALSE, exStyle);
    }
    return client;
}

} // namespace kivo::win32
