#include "bitmap_file.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace kivo::win32 {

GdiObject<HBITMAP> bitmapFromFile(const std::string& bytes) {
    BITMAPFILEHEADER file{};
    if (bytes.size() < sizeof file) {
        return {};
    }
    std::memcpy(&file, bytes.data(), sizeof file);
    if (file.bfOffBits <= sizeof file || file.bfOffBits >= bytes.size()) {
        return {};
    }
    // The info header and colour table, copied to storage aligned for their fields.
    const std::size_t infoBytes = file.bfOffBits - sizeof file;
    std::vector<std::uint32_t> info((infoBytes + 3) / 4);
    std::memcpy(info.data(), bytes.data() + sizeof file, infoBytes);
    const auto* header = reinterpret_cast<const BITMAPINFO*>(info.data());
    const HDC screen = GetDC(nullptr);
    const HBITMAP bitmap = CreateDIBitmap(screen, &header->bmiHeader, CBM_INIT,
                                          bytes.data() + file.bfOffBits, header, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return GdiObject<HBITMAP>(bitmap);
}

} // namespace kivo::win32
