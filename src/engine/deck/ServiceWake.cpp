#include "engine/deck/ServiceWake.h"

#include <linux/futex.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <ctime>

namespace {

uint32_t* word(std::atomic<uint32_t>& count) {
    return reinterpret_cast<uint32_t*>(&count);
}

void futexWait(std::atomic<uint32_t>& count, uint32_t seen, const timespec* limit) {
    // Returns at once when the count already moved on; a spurious return only costs a pass.
    syscall(SYS_futex, word(count), FUTEX_WAIT_PRIVATE, seen, limit, nullptr, 0);
}

}  // namespace

void ServiceWake::notify() {
    count_.fetch_add(1, std::memory_order_release);
    syscall(SYS_futex, word(count_), FUTEX_WAKE_PRIVATE, 1, nullptr, nullptr, 0);
}

void ServiceWake::waitFor(uint32_t seen, std::chrono::nanoseconds limit) {
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(limit);
    const timespec relative{static_cast<time_t>(seconds.count()),
                            static_cast<long>((limit - seconds).count())};
    futexWait(count_, seen, &relative);
}

void ServiceWake::wait(uint32_t seen) {
    futexWait(count_, seen, nullptr);
}
