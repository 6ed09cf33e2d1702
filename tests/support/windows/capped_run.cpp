#include "capped_run.h"

namespace kivo::test {

// No fork and no address-space limit: the work runs in the process and only its time is told.
Outcome runCapped(const std::function<std::string()>& work) {
    const auto start = std::chrono::steady_clock::now();
    Outcome outcome;
    outcome.said = work();
    outcome.took = std::chrono::steady_clock::now() - start;
    return outcome;
}

} // namespace kivo::test
