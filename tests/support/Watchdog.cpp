#include "Watchdog.h"

#include <cstdio>
#include <cstdlib>

namespace brindlewick::test {

Watchdog::Watchdog(std::chrono::seconds limit, const char* step)
    : thread_([this, limit, step] {
          std::unique_lock lock(mutex_);
          if (!finished_.wait_for(lock, limit, [this] { return done_; })) {
              std::fprintf(stderr, "FAIL!  : %s hung: it did not end within %lld s\n", step,
                           static_cast<long long>(limit.count()));
              std::_Exit(EXIT_FAILURE);
          }
      }) {}

Watchdog::~Watchdog() {
    {
        const std::lock_guard lock(mutex_);
        done_ = true;
    }
    finished_.notify_one();
    thread_.join();
}

}  // namespace brindlewick::test
