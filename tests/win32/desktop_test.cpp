#include "core/system/utf16.h"
#include "temp_files.h"
#include "ui_driver.h"
#include "win32_desktop.h"

#include <algorithm>
#include <commctrl.h>
#include <cstddef>
#include <cstring>
#include <dlgs.h>
#include <gtest/gtest.h>
#include <wtsapi32.h>

namespace kivo::win32 {
namespace {

using test::actOnWindowSoon;
using test::boxOf;
using test::childrenOf;
using test::placeOf;
using test::press;
using test::textOf;

std::string utf8(const std::filesystem::path& path) {
    return fromWide(path.wstring());
}

// Lets the queued messages run for a while, as the message loop would.
void pumpFor(Win32Desktop& desktop, DWORD milliseconds) {
    const DWORD end = GetTickCount() + milliseconds;
    while (GetTickCount() < end) {
        desktop.processPendingEvents(LetRunPoint::TickStart);
        Sleep(5);
    }
}

// Mouse input as the hardware gives it, at a point of the screen.
void mouse(int x, int y, std::initializer_list<DWORD> buttons) {
    SetCursorPos(x, y);
    for (const DWORD button : buttons) {
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = button;
        SendInput(1, &input, sizeof input);
    }
}

HCURSOR cursorOver(HWND window) {
    SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return GetCursor();
}

// The tip the thread's tooltip window holds for the control.
std::wstring toolText(HWND window, HWND control) {
    HWND tooltip = nullptr;
    do {
        tooltip = FindWindowExW(nullptr, tooltip, TOOLTIPS_CLASSW, nullptr);
    } while (tooltip != nullptr &&
             GetWindowThreadProcessId(tooltip, nullptr) != GetCurrentThreadId());
    if (tooltip == nullptr) {
        return L"(no tooltip)";
    }
    wchar_t text[256] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = window;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = text;
    SendMessageW(tooltip, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&tool));
    return text;
}

// The scenarios see the window's place, and the panel and the start button over the picture;
// here is what they cannot see.
TEST(MainWindow, HasTheDesignedStyleControlsTextsAndTips) {
    Win32Desktop desktop;
    MainWindow& w = desktop.window();
    const LONG_PTR style = GetWindowLongPtrW(w.hwnd(), GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_FALSE(style & (WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | WS_VISIBLE));
    EXPECT_EQ(desktop.pictureSize(), (Size{280, 280})) << "the design-time picture";
    EXPECT_EQ(placeOf(w.image2.hwnd()), (Box{0, 0, 28, 28}));

    std::vector<std::pair<std::wstring, Box>> inPanel;
    for (const HWND control : childrenOf(w.panel1.hwnd())) {
        inPanel.emplace_back(textOf(control), placeOf(control));
        if (textOf(control) == L"Настрой:") {
            // Times New Roman's metrics (Liberation Serif's under Wine) set it 62 pixels wide,
            // as the label was laid out for; a stand-in face is wider (67 in Wine's own).
            const HDC dc = GetDC(control);
            const HGDIOBJ previous = SelectObject(
                dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
            SIZE text{};
            GetTextExtentPoint32W(dc, L"Настрой:", 8, &text);
            SelectObject(dc, previous);
            ReleaseDC(control, dc);
            EXPECT_LE(text.cx, 62) << "the label's font is wider than Times New Roman";
        }
    }
    std::sort(inPanel.begin(), inPanel.end(),
              [](const auto& a, const auto& b) { return a.second.top < b.second.top; });
    EXPECT_EQ(inPanel,
              (std::vector<std::pair<std::wstring, Box>>{{L"Настрой:", {10, 1, 70, 20}},
                                                         {L"Картинка", {4, 20, 74, 40}},
                                                         {L"Форма", {4, 40, 74, 60}},
                                                         {L"Проверить", {4, 60, 74, 82}}}));

    EXPECT_EQ(toolText(w.hwnd(), w.image1.hwnd()),
              L" Двойной щелчок - закрыть, правая - поставить/снять поверх всех, левая - "
              L"переместить   ");
    EXPECT_EQ(toolText(w.hwnd(), w.image2.hwnd()), L" СТАРТ ");
}

// What the controls feed to the core, as text; moves are left out.
struct RecordedInput : ControlInput {
    std::vector<std::string> events;

    static std::string nameOf(Control control) {
        // In the order of Control's values.
        const char* const names[] = {"Image1",       "Image2",       "Panel1",      "Label1",
                                     "SpeedButton1", "SpeedButton3", "SpeedButton2"};
        return names[static_cast<int>(control)];
    }
    static std::string of(Control control, MouseButton button) {
        return nameOf(control) + (button == MouseButton::Left ? " L" : " R");
    }
    static std::string of(Point at) {
        return " " + std::to_string(at.x) + "," + std::to_string(at.y);
    }

    void press(Control c, MouseButton b, Point at) override {
        events.push_back("down " + of(c, b) + of(at));
    }
    bool doubleClick(Control c, MouseButton b) override {
        events.push_back("double " + of(c, b));
        return true;
    }
    void move(Control, Point) override {}
    void release(Control c, MouseButton b, Point at, bool inside) override {
        events.push_back("up " + of(c, b) + of(at) + (inside ? " in" : " out"));
    }
    void click(Control c) override { events.push_back("click " + nameOf(c)); }
    void timer() override { events.push_back("tick"); }
    void screensChanged() override { events.push_back("screens"); }
    void seenChanged(bool seen) override { events.push_back(seen ? "seen" : "unseen"); }
};

TEST(MainWindow, TheMouseReachesThePicturesAndButtonsAsPlainEvents) {
    Win32Desktop desktop;
    MainWindow& w = desktop.window();
    ShowWindow(w.hwnd(), SW_SHOW);
    SetForegroundWindow(w.hwnd());
    pumpFor(desktop, 300);
    RecordedInput input;
    w.bind(input);

    mouse(40, 230,
          {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP});
    mouse(41, 230,
          {MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP});
    pumpFor(desktop, 300);
    mouse(10, 10, {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP});
    mouse(10, 10, {MOUSEEVENTF_LEFTDOWN});
    mouse(60, 230, {MOUSEEVENTF_LEFTUP}); // released off the start button, which holds the mouse
    mouse(110, 121, {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP});
    pumpFor(desktop, 300);
    EXPECT_EQ(input.events,
              (std::vector<std::string>{
                  "down Image1 L 40,230", "up Image1 L 40,230 in", "double Image1 L",
                  "down Image1 L 40,230", "up Image1 L 40,230 in", "down Image1 R 41,230",
                  "up Image1 R 41,230 in", "double Image1 R", "down Image1 R 41,230",
                  "up Image1 R 41,230 in", "down Image2 L 10,10", "up Image2 L 10,10 in",
                  "double Image2 L", "down Image2 L 10,10", "up Image2 L 60,230 out",
                  "click SpeedButton1"}));
    EXPECT_EQ(GetFocus(), w.hwnd()) << "the buttons never take the focus";
}

// The display turned off and a locked session, as the system tells them: the window is unseen
// from the first until both are over.
TEST(MainWindow, IsUnseenWhileTheDisplayIsOffOrTheSessionLocked) {
    Win32Desktop desktop;
    RecordedInput input;
    desktop.window().onSeenChanged = [&](bool seen) { input.seenChanged(seen); };
    const auto display = [&](DWORD on) {
        // The setting's data follows its header: one DWORD here.
        alignas(POWERBROADCAST_SETTING) BYTE bytes[sizeof(POWERBROADCAST_SETTING) + sizeof on]{};
        auto* notice = reinterpret_cast<POWERBROADCAST_SETTING*>(bytes);
        notice->PowerSetting = {
            0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
        notice->DataLength = sizeof on;
        std::memcpy(bytes + offsetof(POWERBROADCAST_SETTING, Data), &on, sizeof on);
        SendMessageW(desktop.window().hwnd(), WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE,
                     reinterpret_cast<LPARAM>(notice));
    };
    const auto session = [&](WPARAM change) {
        SendMessageW(desktop.window().hwnd(), WM_WTSSESSION_CHANGE, change, 0);
    };
    display(0);
    EXPECT_EQ(input.events, std::vector<std::string>{"unseen"});
    session(WTS_SESSION_LOCK);
    display(1);
    EXPECT_EQ(input.events, std::vector<std::string>{"unseen"}) << "seen while locked";
    session(WTS_SESSION_UNLOCK);
    EXPECT_EQ(input.events, (std::vector<std::string>{"unseen", "seen"}));
}

// In a folder of a Cyrillic name: a bitmap loads whatever its name, a file that is none keeps the
// picture, and the file dialog takes a typed name that need not exist.
TEST(Win32Desktop, LoadsABitmapWhateverItsNameAndTheFileDialogTakesANameThatNeedNotExist) {
    Win32Desktop desktop;
    const kivo::test::TempDir dir;
    const std::filesystem::path folder = dir.path() / L"картинки";
    std::filesystem::create_directories(folder);
    kivo::test::writeFile(folder / L"море.jpg", kivo::test::bmp24(300, 200));
    kivo::test::writeFile(folder / "text.bmp", "not a picture");
    EXPECT_TRUE(desktop.loadPicture(utf8(folder / L"море.jpg")));
    EXPECT_EQ(desktop.pictureSize(), (Size{300, 200}));
    EXPECT_EQ(placeOf(desktop.window().image1.hwnd()), (Box{0, 0, 300, 200}));
    EXPECT_FALSE(desktop.loadPicture(utf8(folder / "text.bmp"))) << "a text file loaded";
    EXPECT_EQ(desktop.pictureSize(), (Size{300, 200}));

    const std::string patterns = "*.bmp;*.jpg;*.jpeg";
    const OpenDialogModel model{"Выберите файл картинки", utf8(folder / ""),
                                utf8(folder / "") + patterns, "Файлы картинок " + patterns,
                                patterns};
    actOnWindowSoon(L"#32770", [](HWND dialog) {
        EXPECT_EQ(textOf(dialog), L"Выберите файл картинки");
        SetDlgItemTextW(dialog, cmb13, L"новая.bmp");
        press({VK_RETURN});
    });
    EXPECT_EQ(desktop.runOpenDialog(model), utf8(folder / L"новая.bmp"));
    actOnWindowSoon(L"#32770", [](HWND) { press({VK_ESCAPE}); });
    EXPECT_EQ(desktop.runOpenDialog(model), std::nullopt);
}

// The scenarios place, shape and lift the real window; here it moves onto a monitor at 150 %,
// where everything is drawn anew at its scale, and then shows whole.
TEST(Win32Desktop, AMoveOntoAMonitorOfAnotherScaleDrawsTheWindowAnewAtIt) {
    Win32Desktop desktop;
    const HWND window = desktop.window().hwnd();
    ShowWindow(window, SW_SHOWNA);
    desktop.setWindowBounds({50, 60, 300, 200});
    desktop.setWindowOutline({OutlineKind::Rect, {10, 20, 290, 180}});
    RECT suggested{50, 60, 500, 360};
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(placeOf(window), (Box{50, 60, 500, 360}));
    EXPECT_EQ(desktop.windowBounds().width, 300) << "the program's pixels stay as they were";
    EXPECT_EQ(placeOf(desktop.window().image1.hwnd()), (Box{0, 0, 420, 420}));
    EXPECT_EQ(placeOf(desktop.window().panel1.hwnd()), (Box{153, 144, 273, 276}));
    const HRGN region = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(window, region), SIMPLEREGION);
    RECT box{};
    GetRgnBox(region, &box);
    EXPECT_EQ(boxOf(box), (Box{15, 30, 435, 270}));
    desktop.setWindowOutline({});
    EXPECT_EQ(GetWindowRgn(window, region), ERROR) << "Whole removes the region";
    DeleteObject(region);
}

TEST(Win32Desktop, CursorsOfThePictureTheWindowAndTheBusyTime) {
    Win32Desktop desktop;
    const HWND window = desktop.window().hwnd();
    const HWND picture = desktop.window().image1.hwnd();
    EXPECT_EQ(cursorOver(picture), LoadCursorW(nullptr, IDC_HAND));
    EXPECT_EQ(cursorOver(window), LoadCursorW(nullptr, IDC_ARROW));
    desktop.setPictureCursor(CursorShape::SizeAll);
    desktop.setWindowCursor(CursorShape::Forbidden);
    EXPECT_EQ(cursorOver(picture), LoadCursorW(nullptr, IDC_SIZEALL));
    EXPECT_EQ(cursorOver(window), LoadCursorW(nullptr, IDC_NO));
    desktop.setBusy(true);
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_WAIT));
    desktop.setBusy(false);
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_NO));
    EXPECT_EQ(cursorOver(desktop.window().panel1.hwnd()), LoadCursorW(nullptr, IDC_ARROW));
}

// The timer's ticks, intervals and pauses show in the scenarios' breathing.
TEST(Win32Desktop, AQuitOutlivesPendingEvents) {
    Win32Desktop desktop;
    PostQuitMessage(3);
    desktop.processPendingEvents(LetRunPoint::TickStart);
    MSG message{};
    ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 3u);
}

TEST(Win32Desktop, TheErrorBoxStandsAloneUntilTheWindowIsShown) {
    Win32Desktop desktop;
    const HWND window = desktop.window().hwnd();
    std::vector<HWND> owners;
    const auto answer = [&](HWND box) {
        EXPECT_EQ(textOf(box), L"Киво");
        owners.push_back(GetWindow(box, GW_OWNER));
        press({VK_RETURN});
    };
    actOnWindowSoon(L"#32770", answer);
    desktop.showErrorBox("Киво", "Cannot open file \"C:\\Картинки\\1.bmp\".");
    ShowWindow(window, SW_SHOW);
    actOnWindowSoon(L"#32770", answer);
    desktop.showErrorBox("Киво", "Bitmap image is not valid.");
    EXPECT_EQ(owners, (std::vector<HWND>{nullptr, window}));
}

} // namespace
} // namespace kivo::win32
