#pragma once

#include <atomic>
#include <cstdint>
#include <optional>

// A value one thread asks for and another takes up later, or none. A newer request replaces one
// not yet taken. The value and whether there is one share one lock-free atomic word, so the
// audio thread may take it. Thread: any.
template <class T>
class PendingRequest {
  public:
    void post(T value) { slot_.store(Slot{value, 1}); }
    // The request, which stays pending.
    std::optional<T> peek() const { return valueOf(slot_.load()); }
    // The request, which is then no longer pending.
    std::optional<T> take() { return valueOf(slot_.exchange(Slot{})); }
    bool pending() const { return slot_.load().pending != 0; }

  private:
    // Aligned to its size: clang, unlike gcc, calls libatomic for a word less aligned than wide.
    struct alignas(sizeof(T) + sizeof(int32_t)) Slot {
        T value{};
        int32_t pending = 0;
    };
    static_assert(sizeof(Slot) == sizeof(T) + sizeof(int32_t), "no padding in the atomic word");
    static_assert(std::atomic<Slot>::is_always_lock_free);

    static std::optional<T> valueOf(Slot slot) {
        return slot.pending != 0 ? std::optional<T>(slot.value) : std::nullopt;
    }

    std::atomic<Slot> slot_{};
};
