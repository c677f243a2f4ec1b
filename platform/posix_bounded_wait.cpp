// The bounded wait: a deadline on the monotonic clock and a short sleep between polls.
#include <chrono>
#include <thread>

#include "linux/PosixInternal.h"

namespace Platform {

bool WaitUntil(const std::function<bool()>& done, int milliseconds,
               const std::function<void()>& beforeEachPoll)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (true) {
        bool late = std::chrono::steady_clock::now() >= deadline;
        if (beforeEachPoll) {
            beforeEachPoll();
        }
        if (done()) {
            return true;
        }
        if (late) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

}  // namespace Platform
