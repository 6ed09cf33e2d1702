#pragma once

#include "core/picture/bmp_writer.h"

#include <string>

namespace kivo {

// Decodes a whole JPEG file at full scale: a colour picture to 24 bits per pixel, or to at most
// 236 colours by the two-pass quantiser when `fewColours`; a grey one always to at most 236
// levels by the one-pass quantiser. Warnings are ignored, so a file cut short decodes as far
// as its data goes. Throws KivoError "JPEG error #<libjpeg's message code>", or the open error.
BmpPicture decodeJpegFile(const std::string& path, bool fewColours);

} // namespace kivo
