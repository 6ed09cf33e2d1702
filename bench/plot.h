#pragma once

#include <string>
#include <utility>
#include <vector>

namespace kivo::bench {

// Draws inset over time (seconds, pixels) as a line chart and saves it as a PNG.
void plotInsets(const std::vector<std::pair<double, int>>& insets, int maxInset,
                const std::string& title, const std::string& pngPath);

} // namespace kivo::bench
