// 3 000 ticks of the real window's breathing (about ten breaths of image\1.bmp): every tick
// hands the window a new region, and the process's GDI objects must not grow with them.
#include "core/system/utf16.h"
#include "core/window/form_kivo.h"
#include "win32_desktop.h"

#include <commctrl.h>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>

namespace kivo::win32 {
namespace {

struct GdiCount {
    DWORD objects = 0;
    const char* source = "";
};

// Wine (8) has no GetGuiResources: it returns 0 with ERROR_CALL_NOT_IMPLEMENTED. There, count
// the live entries of Wine's GDI handle table, which takes a bare table index as a handle.
GdiCount gdiObjects() {
    SetLastError(ERROR_SUCCESS);
    const DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (counted != 0 || GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) {
        return {counted, "GetGuiResources"};
    }
    DWORD live = 0;
    for (UINT_PTR index = 1; index <= 0xFFFF; ++index) {
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0) {
            ++live;
        }
    }
    return {live, "Wine's GDI handle table"};
}

TEST(Soak, ThreeThousandTicksOfTheRealWindowLeaveTheGdiObjectCountFlat) {
    const INITCOMMONCONTROLSEX commonControls{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES};
    InitCommonControlsEx(&commonControls);
    Win32Desktop desktop;
    TFormKivo form(desktop);
    desktop.connect(form);
    // image\1.bmp lies beside the test, as beside Kivo.exe; without it the start-up's error
    // box would wait for a click.
    const std::filesystem::path folder =
        std::filesystem::path(toWide(desktop.executablePath())).parent_path();
    ASSERT_TRUE(std::filesystem::exists(folder / "image" / "1.bmp")) << "no image\\1.bmp";
    form.dispatch([&] { form.FormCreate(); });
    ASSERT_EQ(form.state.InsetMax, 140) << "the start-up did not load image\\1.bmp";
    const HWND window = desktop.window().hwnd();
    ShowWindow(window, SW_SHOWNA);
    form.dispatch([&] { form.Image2Click(); });

    GdiCount atTick100;
    constexpr int kTicks = 3000;
    for (int tick = 1; tick <= kTicks; ++tick) {
        form.dispatch([&] { form.Timer1Timer(); });
        if (tick == 100) {
            atTick100 = gdiObjects();
        }
    }
    const GdiCount atEnd = gdiObjects();
    std::printf("GDI objects (%s): %lu after 100 ticks, %lu after %d ticks\n", atEnd.source,
                static_cast<unsigned long>(atTick100.objects),
                static_cast<unsigned long>(atEnd.objects), kTicks);

    EXPECT_GT(atTick100.objects, 0u);
    EXPECT_LE(atEnd.objects, atTick100.objects) << "the ticks leak GDI objects";
    const HRGN region = CreateRectRgn(0, 0, 0, 0);
    EXPECT_NE(GetWindowRgn(window, region), ERROR) << "the ticks gave the window no outline";
    DeleteObject(region);
    EXPECT_TRUE(IsWindow(window));
}

} // namespace
} // namespace kivo::win32
