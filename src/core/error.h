#pragma once

#include <stdexcept>
#include <string>

namespace kivo {

// A failure inside a library call, carrying the message the user sees in the error box.
class KivoError : public std::runtime_error {
  public:
    explicit KivoError(const std::string& message) : std::runtime_error(message) {}
};

} // namespace kivo
