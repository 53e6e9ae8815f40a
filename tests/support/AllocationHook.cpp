// Every allocation and free goes through realtime::mayBlock, so a real-time thread that allocates
// or frees is counted. Plain builds replace the C allocator, which also catches the C libraries;
// the sanitizers own malloc, so their builds replace the C++ allocation functions instead.
#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <new>

#include "core/RealTimeGuard.h"

#ifndef SPINORA_SANITIZED

extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void* __libc_memalign(size_t, size_t);
void __libc_free(void*);

void* malloc(size_t size) {
    realtime::mayBlock("malloc");
    return __libc_malloc(size);
}
void* calloc(size_t count, size_t size) {
    realtime::mayBlock("calloc");
    return __libc_calloc(count, size);
}
void* realloc(void* p, size_t size) {
    realtime::mayBlock("realloc");
    return __libc_realloc(p, size);
}
void* memalign(size_t alignment, size_t size) {
    realtime::mayBlock("memalign");
    return __libc_memalign(alignment, size);
}
void* aligned_alloc(size_t alignment, size_t size) {
    realtime::mayBlock("aligned_alloc");
    return __libc_memalign(alignment, size);
}
int posix_memalign(void** out, size_t alignment, size_t size) {
    realtime::mayBlock("posix_memalign");
    *out = __libc_memalign(alignment, size);
    return *out == nullptr ? ENOMEM : 0;
}
void free(void* p) {
    if (p != nullptr) {
        realtime::mayBlock("free");
    }
    __libc_free(p);
}
}

#else

namespace {

void* allocate(std::size_t size) {
    realtime::mayBlock("operator new");
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}

void* allocateAligned(std::size_t size, std::align_val_t alignment) {
    realtime::mayBlock("operator new");
    const auto a = static_cast<std::size_t>(alignment);
    if (void* p = std::aligned_alloc(a, (size + a - 1) / a * a)) {
        return p;
    }
    throw std::bad_alloc();
}

void release(void* p) {
    if (p != nullptr) {
        realtime::mayBlock("operator delete");
    }
    std::free(p);
}

}  // namespace

void* operator new(std::size_t size) {
    return allocate(size);
}
void* operator new[](std::size_t size) {
    return allocate(size);
}
void* operator new(std::size_t size, std::align_val_t alignment) {
    return allocateAligned(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
    return allocateAligned(size, alignment);
}
void operator delete(void* p) noexcept {
    release(p);
}
void operator delete[](void* p) noexcept {
    release(p);
}
void operator delete(void* p, std::size_t) noexcept {
    release(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    release(p);
}
void operator delete(void* p, std::align_val_t) noexcept {
    release(p);
}
void operator delete[](void* p, std::align_val_t) noexcept {
    release(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept {
    release(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept {
    release(p);
}

#endif
