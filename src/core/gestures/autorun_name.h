#pragma once

namespace kivo {

// The autostart entry's name: the program's web site, the same for adding and removing.
inline constexpr const char* kAutorunName = "kivo.narod.ru";

} // namespace kivo
