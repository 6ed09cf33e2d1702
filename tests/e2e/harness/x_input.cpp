// Input faked through XTest, as if from a real mouse and keyboard.
#include "x_client.h"

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

void XClient::pressKey(const std::string& keysym) {
    const KeySym symbol = XStringToKeysym(keysym.c_str());
    const KeyCode code = symbol == NoSymbol ? 0 : XKeysymToKeycode(display_, symbol);
    if (code == 0) {
        throw std::invalid_argument("no key for " + keysym);
    }
    XTestFakeKeyEvent(display_, code, True, CurrentTime);
    XTestFakeKeyEvent(display_, code, False, CurrentTime);
    settle();
}

} // namespace kivo::e2e
