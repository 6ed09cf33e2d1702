#pragma once

#include <string>

namespace kivo {

// The codes of the I/O error table that a system's own codes are mapped to.
inline constexpr int kIoFileNotFound = 2;
inline constexpr int kIoInvalidFilename = 3;
inline constexpr int kIoTooManyOpenFiles = 4;
inline constexpr int kIoAccessDenied = 5;
inline constexpr int kIoDiskFull = 101;

// The table's message for a code; a code it does not list is shown as a number.
std::string ioErrorMessage(int code);

// For a system error that is outside the table whatever its number.
std::string unlistedIoErrorMessage(int systemError);

} // namespace kivo
