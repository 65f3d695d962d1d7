#pragma once
// Waits for a condition that another thread brings about, giving up after a
// generous bound so that a fault fails the test instead of hanging it.

#include <chrono>
#include <thread>

namespace window_testing {

template <class Predicate>
bool wait_until(Predicate predicate, std::chrono::milliseconds bound = std::chrono::seconds(10))
{
    const auto give_up = std::chrono::steady_clock::now() + bound;
    while (!predicate()) {
        if (std::chrono::steady_clock::now() > give_up)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

}  // namespace window_testing
