#pragma once

#include "core/desktop.h"

#include <optional>
#include <string>
#include <windows.h>

namespace kivo::win32 {

// The common file-open dialog: explorer style, resizable, no read-only box, and a typed name
// need not exist (the program reports a missing file itself). Modal over the owner.
std::optional<std::string> runOpenDialog(HWND owner, const OpenDialogModel& model);

} // namespace kivo::win32
