#pragma once

#include <string>

namespace kivo {

// Largest picture the program takes, in pixels; bigger headers are refused before anything
// is allocated for them.
inline constexpr long long kMaxPicturePixels = 64LL * 1024 * 1024;
// Longest side of a picture: window coordinates are 16-bit on both systems' screens.
inline constexpr long long kMaxPictureSide = 32767;
// Smallest side of a picture the user may choose.
inline constexpr int kMinPictureSide = 100;

inline constexpr const char* kBitmapNotValid = "Bitmap image is not valid";

// Checks that a file can be opened and holds a complete, sane BMP picture. Throws KivoError:
// "Cannot open file "<path>". <reason>" or "Bitmap image is not valid".
void checkBitmapFile(const std::string& path);

} // namespace kivo
