// Input faked through XTest, as if from a real mouse and keyboard.
#include "x_client.h"

#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>
#include <stdexcept>
#include <thread>

namespace kivo::e2e {

// Lets the program take each event before the next one arrives, as with a real hand.
void XClient::settle() {
    XSync(display_, False);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
}

void XClient::moveMouse(int x, int y) {
    XTestFakeMotionEvent(display_, -1, x, y, CurrentTime);
    settle();
}

void XClient::pressButton(int button) {
    XTestFakeButtonEvent(display_, static_cast<unsigned>(button), True, CurrentTime);
    settle();
}

void XClient::releaseButton(int button) {
    XTestFakeButtonEvent(display_, static_cast<unsigned>(button), False, CurrentTime);
    settle();
}

void XClient::click(int x, int y, int button) {
    moveMouse(x, y);
    pressButton(button);
    releaseButton(button);
}

void XClient::doubleClick(int x, int y) {
    moveMouse(x, y);
    for (int i = 0; i < 2; ++i) {
        XTestFakeButtonEvent(display_, 1, True, CurrentTime);
        XTestFakeButtonEvent(display_, 1, False, CurrentTime);
        XSync(display_, False);
    }
    settle();
}

void XClient::drag(int fromX, int fromY, int toX, int toY, int steps) {
    moveMouse(fromX, fromY);
    pressButton(1);
    for (int i = 1; i <= steps; ++i) {
        moveMouse(fromX + (toX - fromX) * i / steps, fromY + (toY - fromY) * i / steps);
    }
    releaseButton(1);
}

namespace {

KeyCode keycodeOf(Display* display, KeySym symbol, const std::string& name) {
    const KeyCode code = symbol == NoSymbol ? 0 : XKeysymToKeycode(display, symbol);
    if (code == 0) {
        throw std::invalid_argument("no key for " + name);
    }
    return code;
}

KeyCode keycodeOf(Display* display, const std::string& keysym) {
    return keycodeOf(display, XStringToKeysym(keysym.c_str()), keysym);
}

} // namespace

void XClient::pressChord(const std::vector<std::string>& keysyms) {
    std::vector<KeyCode> codes;
    for (const auto& keysym : keysyms) {
        codes.push_back(keycodeOf(display_, keysym));
    }
    for (const KeyCode code : codes) {
        XTestFakeKeyEvent(display_, code, True, CurrentTime);
    }
    for (auto code = codes.rbegin(); code != codes.rend(); ++code) {
        XTestFakeKeyEvent(display_, *code, False, CurrentTime);
    }
    settle();
}

void XClient::typeText(const std::string& text) {
    const KeyCode shift = keycodeOf(display_, "Shift_L");
    for (const char c : text) {
        // Printable ASCII characters are their own keysyms.
        const auto symbol = static_cast<KeySym>(static_cast<unsigned char>(c));
        const KeyCode code = keycodeOf(display_, symbol, std::string(1, c));
        const bool shifted = XkbKeycodeToKeysym(display_, code, 0, 0) != symbol;
        if (shifted) {
            XTestFakeKeyEvent(display_, shift, True, CurrentTime);
        }
        XTestFakeKeyEvent(display_, code, True, CurrentTime);
        XTestFakeKeyEvent(display_, code, False, CurrentTime);
        if (shifted) {
            XTestFakeKeyEvent(display_, shift, False, CurrentTime);
        }
    }
    settle();
}

} // namespace kivo::e2e
