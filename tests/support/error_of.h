#pragma once

#include "core/error.h"

#include <string>

namespace kivo::test {

// The message of the KivoError that `work` throws, or "" when it throws none.
template <typename Work> std::string errorOf(Work work) {
    try {
        work();
    } catch (const KivoError& error) {
        return error.what();
    }
    return "";
}

} // namespace kivo::test
