#pragma once

#include "core/desktop.h"
#include "core/error.h"
#include "core/window/form_kivo.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace kivo::test {

// The little-endian field of `size` bytes at `offset`.
inline std::uint32_t leAt(const std::string& bytes, std::size_t offset, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) {
        value = value << 8 | static_cast<unsigned char>(bytes[offset + i]);
    }
    return value;
}

// A scripted Desktop: records what the core asks for, answers dialogs from a queue and runs
// injected events at chosen let-run points.
class FakeDesktop : public Desktop {
  public:
    std::string exePath = "/opt/kivo/kivo";
    Size screen{1280, 1024};
    std::vector<Box> screenBoxes{{0, 0, 1280, 1024}};
    int depth = 24;

    WindowBounds window{0, 0, 280, 279};
    int closeCalls = 0;
    Outline outline;
    std::vector<Outline> outlines;
    WindowLevel level = WindowLevel::Normal;
    std::vector<WindowLevel> levels;
    CursorShape windowCursor = CursorShape::Forbidden;

    Size picture{280, 280};
    std::string picturePath;
    bool pictureVisible = true;
    CursorShape pictureCursor = CursorShape::Hand;
    bool startButtonVisible = true;
    bool panelVisible = true;
    Point panel{102, 96};
    std::vector<bool> busy;

    bool timerEnabled = false;
    int timerInterval = 10;
    // Every let-run point passed, in order.
    std::vector<LetRunPoint> letRuns;
    // Each runs once, at the next let-run point of its name.
    std::map<LetRunPoint, std::function<void()>> injectAt;

    std::deque<ModalResult> answers; // next dialog answers; an empty queue answers Cancel
    std::vector<DialogModel> dialogs;
    std::vector<WindowLevel> levelsDuringDialogs;
    std::vector<std::pair<std::string, std::string>> errorBoxes; // caption, text
    std::deque<std::optional<std::string>> openAnswers;          // empty queue cancels
    std::vector<OpenDialogModel> openDialogs;
    std::vector<WindowLevel> levelsDuringOpenDialogs;

    std::map<std::string, std::string> autostart;
    bool autostartWriteFails = false;

    std::string executablePath() const override { return exePath; }
    Size screenSize() const override { return screen; }
    std::vector<Box> screens() const override { return screenBoxes; }
    int displayDepth() const override { return depth; }

    WindowBounds windowBounds() const override { return window; }
    void setWindowBounds(const WindowBounds& bounds) override { window = bounds; }
    void closeWindow() override { ++closeCalls; }
    void setWindowOutline(const Outline& o) override {
        outline = o;
        outlines.push_back(o);
    }
    void setWindowLevel(WindowLevel l) override {
        level = l;
        levels.push_back(l);
    }
    void setWindowCursor(CursorShape c) override { windowCursor = c; }

    // Takes the size from the BMP header, as a real picture control would.
    bool loadPicture(const std::string& path) override {
        std::string header(26, '\0');
        if (!std::ifstream(path, std::ios::binary).read(header.data(), header.size())) {
            return false;
        }
        // Rows stored top-down give a negative height.
        picture = {static_cast<std::int32_t>(leAt(header, 18, 4)),
                   std::abs(static_cast<std::int32_t>(leAt(header, 22, 4)))};
        picturePath = path;
        return true;
    }
    Size pictureSize() const override { return picture; }
    void setPictureVisible(bool v) override { pictureVisible = v; }
    void setPictureCursor(CursorShape c) override { pictureCursor = c; }
    void setStartButtonVisible(bool v) override { startButtonVisible = v; }
    void setPanelVisible(bool v) override { panelVisible = v; }
    void setPanelPosition(Point p) override { panel = p; }
    void setBusy(bool b) override { busy.push_back(b); }

    void setTimerEnabled(bool e) override { timerEnabled = e; }
    void setTimerInterval(int ms) override { timerInterval = ms; }
    void processPendingEvents(LetRunPoint point) override {
        letRuns.push_back(point);
        auto it = injectAt.find(point);
        if (it != injectAt.end()) {
            auto action = std::move(it->second);
            injectAt.erase(it);
            action();
        }
    }

    ModalResult showMessageDialog(const DialogModel& model) override {
        dialogs.push_back(model);
        levelsDuringDialogs.push_back(level);
        if (answers.empty()) {
            return model.closeResult;
        }
        const ModalResult answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void showErrorBox(const std::string& caption, const std::string& text) override {
        errorBoxes.emplace_back(caption, text);
    }
    std::optional<std::string> runOpenDialog(const OpenDialogModel& model) override {
        openDialogs.push_back(model);
        levelsDuringOpenDialogs.push_back(level);
        if (openAnswers.empty()) {
            return std::nullopt;
        }
        auto answer = openAnswers.front();
        openAnswers.pop_front();
        return answer;
    }

    bool addAutostart(const std::string& name, const std::string& executable) override {
        if (!autostartWriteFails) {
            autostart[name] = executable;
        }
        return !autostartWriteFails;
    }
    void removeAutostart(const std::string& name) override { autostart.erase(name); }
};

// A form on a fake desktop, whose breathing a test starts and ticks by hand.
struct FormTest : testing::Test {
    FakeDesktop desktop;
    TFormKivo form{desktop};

    void start(Size picture, std::int32_t vid) {
        desktop.picture = picture;
        form.state.InsetMax = halfLargerSide(picture);
        form.state.Vid = vid;
        form.Image2Click();
    }
    void tick(int count = 1) {
        for (int i = 0; i < count; ++i) {
            form.Timer1Timer();
        }
    }
};

// A window that is to stay above is put there by the next tick.
inline void raiseThroughATick(TFormKivo& form) {
    form.state.Flpv = 1;
    form.state.Running = 1;
    form.Timer1Timer();
    form.state.Running = 0;
}

} // namespace kivo::test
