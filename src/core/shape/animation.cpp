#include "core/window/form_kivo.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace kivo {

namespace {

// Saturates, so an inset falling for ever (InsetMax = 0) never overflows nor meets 0 again.
std::int32_t nextInset(std::int32_t inset, std::int32_t shrinking) {
    const std::int64_t next = std::int64_t{inset} + (shrinking == 1 ? 1 : -1);
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        next, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

} // namespace

void TFormKivo::Image2Click() {
    startAnimation(false);
}

void TFormKivo::SpeedButton2Click() {
    startAnimation(true);
}

void TFormKivo::startAnimation(bool trial) {
    const Size picture = desktop_.pictureSize();
    WindowBounds window = desktop_.windowBounds();
    window.width = picture.width;
    window.height = picture.height;
    desktop_.setWindowBounds(window);
    desktop_.setPanelVisible(false);
    desktop_.setStartButtonVisible(false);
    state.Inset = state.InsetMax;
    state.TrialMode = trial ? 1 : 0;
    state.StopRequested = 0;
    state.Running = 1;
    setTimer1Enabled(true);
}

void TFormKivo::Timer1Timer() {
    // Other handlers run at the let-run points and may change the state; every step reads it
    // afresh. A trial ended there has put the full window back, which the rest of the tick
    // must not undo.
    const auto letEventsRun = [this](LetRunPoint point) {
        desktop_.processPendingEvents(point);
        return state.Running == 1;
    };

    if (!letEventsRun(LetRunPoint::TickStart)) {
        return;
    }
    setTimer1Enabled(false);
    desktop_.setTimerInterval(kTimerInterval);
    // The level goes first: changing it may rebuild the native window, which drops its outline.
    setWindowLevel(state.Flpv == 1 ? WindowLevel::Topmost : WindowLevel::Normal);
    if (!letEventsRun(LetRunPoint::AfterLevel)) {
        return;
    }

    state.Inset = nextInset(state.Inset, state.Shrinking);
    const WindowBounds window = desktop_.windowBounds();
    state.Region = outlineFor(state.Vid, state.Inset, window.width, window.height);
    desktop_.setWindowOutline(state.Region);
    if (!letEventsRun(LetRunPoint::AfterOutline)) {
        return;
    }

    if (state.Inset == state.InsetMax && state.Shrinking == 1) {
        state.Shrinking = 0;
        if (!letEventsRun(LetRunPoint::AtTheTurn)) {
            return;
        }
    }
    if (state.Inset == 0) {
        desktop_.setTimerInterval(kRestInterval);
        if (!letEventsRun(LetRunPoint::AtTheRest)) {
            return;
        }
        state.Shrinking = 1;
    }
    if (!letEventsRun(LetRunPoint::BeforeRearming)) {
        return;
    }
    // A press that ran at a let-run point has paused the breathing until its release.
    if (state.StopRequested != 1 && state.Dragging != 1) {
        setTimer1Enabled(true);
    }
}

} // namespace kivo
