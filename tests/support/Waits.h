#pragma once
// Waiting with a time limit in GoogleTest programs, so that a fault shows as a failure naming
// what was awaited within seconds, not as the test runner's timeout. (Qt Test programs use
// QTRY_VERIFY_WITH_TIMEOUT and QTRY_COMPARE_WITH_TIMEOUT instead.)
//
//   ASSERT_TRUE(waits::waitUntil([&] { return done; }, 10s, "the writer's first record"));
//   waits::Watchdog guard(10s, "the poll thread to stop"); // around a call that blocks
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

namespace waits {

// Checks `ready` every `step` (a zero step only yields) until it holds or `timeout` has passed.
template <class Ready>
::testing::AssertionResult
waitUntil(Ready&& ready, std::chrono::milliseconds timeout, const std::string& what,
          std::chrono::milliseconds step = std::chrono::milliseconds(1)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (ready())
            return ::testing::AssertionSuccess();
        if (std::chrono::steady_clock::now() >= deadline)
            return ready() ? ::testing::AssertionSuccess()
                           : ::testing::AssertionFailure() << "gave up after " << timeout.count()
                                                           << " ms waiting for " << what;
        if (step.count() > 0)
            std::this_thread::sleep_for(step);
        else
            std::this_thread::yield();
    }
}

// For a call that blocks and cannot be polled (a thread's join, a child's waitpid): while the
// guard lives longer than `timeout`, the program says what it was waiting for and ends with
// exit status 1, so the test fails instead of hanging.
class Watchdog {
public:
    Watchdog(std::chrono::milliseconds timeout, std::string what)
        : what_(std::move(what)), thread_([this, timeout] { watch(timeout); }) {}
    ~Watchdog() {
        {
            std::lock_guard lock(mutex_);
            done_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    void watch(std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex_);
        if (wake_.wait_for(lock, timeout, [this] { return done_; }))
            return;
        std::fprintf(stderr, "FAILED: gave up after %lld ms waiting for %s\n",
                     static_cast<long long>(timeout.count()), what_.c_str());
        std::fflush(stderr);
        std::_Exit(1);
    }

    std::string what_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool done_ = false;
    std::thread thread_;
};

} // namespace waits
