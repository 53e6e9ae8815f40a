#include "core/RealTimeGuard.h"

#include <atomic>

namespace realtime {

namespace {

thread_local bool marked = false;
std::atomic<long> count{0};
std::atomic<const char*> last{nullptr};

}  // namespace

bool onRealTimeThread() {
    return marked;
}

Scope::Scope() : previous_(marked) {
    marked = true;
}

Scope::~Scope() {
    marked = previous_;
}

void mayBlock(const char* what) {
    if (marked) {
        count.fetch_add(1, std::memory_order_relaxed);
        last.store(what, std::memory_order_relaxed);
    }
}

long violations() {
    return count.load(std::memory_order_relaxed);
}

const char* lastViolation() {
    return last.load(std::memory_order_relaxed);
}

void resetViolations() {
    count.store(0, std::memory_order_relaxed);
    last.store(nullptr, std::memory_order_relaxed);
}

}  // namespace realtime
