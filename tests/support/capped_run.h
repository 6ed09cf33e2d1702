#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>

namespace kivo::test {

// What a piece of work said, how long it took and, where it can be told, how much memory it
// took beyond what the process already had.
struct Outcome {
    std::string said;
    std::chrono::duration<double> took{};
    std::optional<long> extraMemoryKib;
};

// Runs the work where the system allows with its address space capped, so that a big allocation
// fails there instead of passing unnoticed.
Outcome runCapped(const std::function<std::string()>& work);

} // namespace kivo::test
