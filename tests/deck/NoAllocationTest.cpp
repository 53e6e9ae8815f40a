// The audio path must never allocate: this binary replaces the C allocator with one that counts
// calls while a test asks it to.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>

#include "Mp3Fixtures.h"
#include "deck/Deck.h"
#include "deck/Mpg123Decoder.h"
#include "deck/TrackInfoStore.h"
#include "sound/BufferOutput.h"

extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void* __libc_memalign(size_t, size_t);
void __libc_free(void*);
}

namespace {

std::atomic<bool> counting{false};
std::atomic<long> allocations{0};

void count() {
    if (counting.load(std::memory_order_relaxed)) {
        allocations.fetch_add(1, std::memory_order_relaxed);
    }
}

}  // namespace

extern "C" {
void* malloc(size_t size) {
    count();
    return __libc_malloc(size);
}
void* calloc(size_t count_, size_t size) {
    count();
    return __libc_calloc(count_, size);
}
void* realloc(void* p, size_t size) {
    count();
    return __libc_realloc(p, size);
}
void* memalign(size_t alignment, size_t size) {
    count();
    return __libc_memalign(alignment, size);
}
void* aligned_alloc(size_t alignment, size_t size) {
    count();
    return __libc_memalign(alignment, size);
}
int posix_memalign(void** out, size_t alignment, size_t size) {
    count();
    *out = __libc_memalign(alignment, size);
    return *out == nullptr ? ENOMEM : 0;
}
void free(void* p) {
    __libc_free(p);
}
}

namespace {

// Runs body with the allocator counting; returns how many allocations it saw.
template <class Body>
long allocationsIn(Body&& body) {
    allocations = 0;
    counting = true;
    body();
    counting = false;
    return allocations.exchange(0);
}

TEST(NoAllocationTest, CounterSeesAllocations) {
    void* (*volatile allocate)(size_t) = malloc;
    EXPECT_EQ(allocationsIn([&] { free(allocate(16)); }), 1);
}

// A deck plays a track to its end on a card, through every transport move, while the card's
// mixer runs: neither the service steps nor the mixer allocate.
TEST(NoAllocationTest, ServiceStepsAndTheDeviceMixerAllocateNothing) {
    TempDir dir;
    const std::string path = dir.write("t.mp3", encodeMp3(drums(120, 8.0), {.vbr = true}));
    TrackInfoStore store({}, 1, 0);
    EngineState engine;
    engine.store = &store;
    AudioDevice card(2);
    auto output = std::make_unique<DirectSoundOutput>(card);
    output->start();
    Deck deck(std::move(output), 0, engine, std::make_unique<Mpg123Decoder>());
    deck.requestLoad(path);
    deck.serviceStep();
    ASSERT_TRUE(deck.isLoaded());

    std::vector<int16_t> block(2 * 256);
    const auto run = [&](int blocks) {
        for (int b = 0; b < blocks; ++b) {
            card.mix(block.data(), 256);
            for (int s = 0; s < 4; ++s) {
                deck.serviceStep();
            }
        }
    };
    const long seen = allocationsIn([&] {
        deck.requestPlay();
        run(100);
        deck.requestSeek(0.5f);
        run(20);
        deck.requestPitch(4300);
        run(20);
        deck.requestMove(-3000);
        deck.setVolume(100);
        run(20);
        deck.requestPause();
        run(5);
        deck.requestMove(-200000);  // beyond the history: the decoder seeks
        run(5);
        deck.requestPlay();
        run(2000);  // to the end of the track and beyond
    });
    EXPECT_EQ(seen, 0);
    EXPECT_FALSE(deck.playing());
    EXPECT_EQ(deck.position(), -1.0f);
}

}  // namespace
