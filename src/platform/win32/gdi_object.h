#pragma once

#include <memory>
#include <type_traits>
#include <windows.h>

namespace kivo::win32 {

struct GdiObjectDeleter {
    void operator()(void* object) const { DeleteObject(static_cast<HGDIOBJ>(object)); }
};

// Owns a font, bitmap or region and deletes it with the owner.
template <class Handle>
using GdiObject = std::unique_ptr<std::remove_pointer_t<Handle>, GdiObjectDeleter>;

} // namespace kivo::win32
