#pragma once

#include "core/geometry.h"
#include "core/window/kivo_state.h"

#include <cstdint>
#include <string>

namespace kivo {

// Applies the settings file's values, line by line, to the state and to the window's bounds.
// Throws KivoError on a bad number or an I/O error; values applied before stay applied.
void readSettings(const std::string& file, KivoState& state, WindowBounds& window);

// Replaces the settings file with its eight lines; the window's size recorded is the picture's.
// A failed write leaves the file that was there intact. Throws KivoError.
void writeSettings(const std::string& file, const KivoState& state, const WindowBounds& window,
                   Size picture);

// Decimal or "$"/"x"/"0x" hexadecimal, with optional sign, to a 32-bit integer.
// Throws KivoError "'<text>' is not a valid integer value".
std::int32_t strToInt(const std::string& text);

} // namespace kivo
