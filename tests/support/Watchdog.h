#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace brindlewick::test {

// Ends the test program with a failure when the scope it guards lasts longer than `limit`. Steps
// that open a FIFO or a device run under one, so that a regression that makes them block fails
// in seconds instead of hanging the suite.
class Watchdog {
  public:
    Watchdog(std::chrono::seconds limit, const char* step);
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

  private:
    std::mutex mutex_;
    std::condition_variable finished_;
    bool done_ = false;
    std::thread thread_;
};

}  // namespace brindlewick::test
