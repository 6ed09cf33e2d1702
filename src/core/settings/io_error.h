#pragma once

#include <string>

namespace kivo {

// The I/O error code that ioErrorMessage() knows for a system errno value met on `file`.
int ioErrorCode(int errnoValue, const std::string& file);

} // namespace kivo
