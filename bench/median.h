#pragma once

#include <algorithm>
#include <vector>

namespace kivo::bench {

// The middle value (the upper one of an even count); zero for no values.
template <typename T> T median(std::vector<T> values) {
    if (values.empty()) {
        return T{};
    }
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace kivo::bench
