#pragma once

#include <chrono>
#include <thread>

namespace kivo::e2e {

// Polls the condition until it holds or the timeout passes; returns its last value.
template <typename Condition>
bool waitUntil(std::chrono::milliseconds timeout, Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

} // namespace kivo::e2e
