#pragma once

#include "core/shape/outline.h"

#include <cstdint>
#include <string>

namespace kivo {

// The state the window's handlers share, under the names the program's vocabulary gives.
struct KivoState {
    std::string ProgramDir; // always ends in the path separator
    std::string ImagePath;
    std::int32_t Vid = 0; // the outline: kVidRoundRect, kVidRect or kVidEllipse
    // "Flag: on top" (поверх всех): the window stays above all others and the program starts
    // at logon; "flpv=true" in the settings file.
    std::int32_t Flpv = 0;
    std::int32_t ScreenWidth = 0;
    std::int32_t ScreenHeight = 0;
    std::int32_t Inset = 0;
    std::int32_t InsetMax = 0;
    std::int32_t Shrinking = 0;
    std::int32_t Running = 0;
    std::int32_t TrialMode = 0;
    std::int32_t StopRequested = 0;
    std::int32_t Changed = 0;
    std::int32_t Dragging = 0;
    std::int32_t DownX = 0;
    std::int32_t DownY = 0;
    Outline Region; // the last outline handed to the window
};

} // namespace kivo
