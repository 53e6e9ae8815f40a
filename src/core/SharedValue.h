#pragma once

#include <atomic>
#include <cstddef>

// A value that one thread writes while another reads it, without a lock: each access is one
// relaxed atomic load or store, so a reader sees the value from just before or just after a write,
// never a torn one. Used for plain fields whose layout must stay as it is (stored records,
// histories read by the display). Thread: any.
template <class T>
T loadShared(const T& value) {
    return std::atomic_ref<T>(const_cast<T&>(value)).load(std::memory_order_relaxed);
}

template <class T>
void storeShared(T& value, T newValue) {
    std::atomic_ref<T>(value).store(newValue, std::memory_order_relaxed);
}

template <class T>
void clearShared(T* values, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        storeShared(values[i], T{});
    }
}
