#pragma once

#include "core/geometry.h"

#include <functional>
#include <string>
#include <vector>
#include <windows.h>

namespace kivo::win32::test {

namespace detail {

struct PendingAction {
    std::wstring className;
    std::function<void(HWND)> act;
    int triesLeft = 0;
    HWND window = nullptr;
    UINT_PTR watchdog = 0;
};
inline PendingAction pendingAction;

inline BOOL CALLBACK findPending(HWND window, LPARAM found) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (IsWindowVisible(window) && pendingAction.className == name) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

// A test whose keys went astray fails instead of waiting for ever.
inline void CALLBACK closeIfStillOpen(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (IsWindow(pendingAction.window)) {
        PostMessageW(pendingAction.window, WM_CLOSE, 0, 0);
    }
}

inline void CALLBACK actIfShown(HWND, UINT, UINT_PTR id, DWORD) {
    HWND window = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), findPending, reinterpret_cast<LPARAM>(&window));
    if (window == nullptr && --pendingAction.triesLeft > 0) {
        return;
    }
    KillTimer(nullptr, id);
    if (window != nullptr) {
        pendingAction.window = window;
        pendingAction.watchdog = SetTimer(nullptr, 0, 5000, closeIfStillOpen);
        pendingAction.act(window);
    }
}

} // namespace detail

// Acts on the thread's first visible window of `className` once a modal loop shows it: a
// thread timer fires inside that loop. Gives up after about five seconds.
inline void actOnWindowSoon(const std::wstring& className, std::function<void(HWND)> act) {
    KillTimer(nullptr, detail::pendingAction.watchdog);
    detail::pendingAction = {className, std::move(act), 100};
    SetTimer(nullptr, 0, 50, detail::actIfShown);
}

struct Key {
    WORD code;
    WORD modifier = 0; // held around the key
};

// Types a key as the keyboard would.
inline void press(Key key) {
    std::vector<INPUT> inputs;
    const auto add = [&inputs](WORD code, DWORD flags) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = code;
        input.ki.dwFlags = flags;
        inputs.push_back(input);
    };
    if (key.modifier != 0) {
        add(key.modifier, 0);
    }
    add(key.code, 0);
    add(key.code, KEYEVENTF_KEYUP);
    if (key.modifier != 0) {
        add(key.modifier, KEYEVENTF_KEYUP);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

inline std::wstring textOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)), L'\0');
    GetWindowTextW(window, text.data(), static_cast<int>(text.size()) + 1);
    return text;
}

// The window's children, first to last in the order the dialog manager walks them.
inline std::vector<HWND> childrenOf(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    return children;
}

inline Box boxOf(const RECT& rect) {
    return {static_cast<int>(rect.left), static_cast<int>(rect.top), static_cast<int>(rect.right),
            static_cast<int>(rect.bottom)};
}

// The window's rectangle in its parent's client coordinates.
inline Box placeOf(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return boxOf(rect);
}

} // namespace kivo::win32::test
