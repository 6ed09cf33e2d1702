#include "core/picture/bmp_writer.h"
#include "core/picture/file_name.h"
#include "core/picture/jpeg_decoder.h"
#include "core/text.h"
#include "core/window/form_kivo.h"

#include <exception>

namespace kivo {

std::string TFormKivo::preobraz(const std::string& path) {
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot < fileNameStart(path)) {
        return path;
    }
    const std::string extension = asciiUpper(path.substr(dot));
    if (extension != ".JPG" && extension != ".JPEG") {
        return path;
    }
    const std::string bitmapPath = path.substr(0, dot) + ".bmp";

    desktop_.setBusy(true);
    try {
        writeBmpFile(bitmapPath, decodeJpegFile(path, desktop_.displayDepth() <= 8));
    } catch (const std::exception& error) {
        desktop_.setBusy(false);
        ShowNote("Ошибка: " + std::string(error.what()) + "\n\r" + "преобразования файла:\n\r" +
                 path);
        return "";
    }
    desktop_.setBusy(false);
    return bitmapPath;
}

} // namespace kivo
