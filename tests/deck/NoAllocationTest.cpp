// The audio path must never allocate: this binary replaces the C allocator with one that counts
// calls while a test asks it to.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>

#include "Mp3Fixtures.h"
#include "deck/Deck.h"
#include "deck/Mpg123Decoder.h"
#include "deck/TrackInfoStore.h"

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

// Takes what it is given without keeping it.
class SinkOutput : public SoundOutput {
  public:
    void write(const int16_t*, int count) override { frames += count; }
    void poll() override {}
    int pendingSamples() override { return 0; }
    void fillSilence() override {}
    void setVolume(int) override {}
    void setCueVolume(int) override {}
    const char* start() override { return nullptr; }
    void flush() override {}
    long frames = 0;
};

TEST(NoAllocationTest, DecodingPlayingAndAnalysingAllocateNothing) {
    TempDir dir;
    const std::string path = dir.write("t.mp3", encodeMp3(drums(120, 8.0), {.vbr = true}));
    TrackInfoStore store({}, 1, 0);
    EngineState engine;
    engine.store = &store;
    auto output = std::make_unique<SinkOutput>();
    SinkOutput& sink = *output;
    Deck deck(std::move(output), 0, engine, std::make_unique<Mpg123Decoder>());
    deck.requestLoad(path);
    deck.load();
    deck.requestPlay();
    deck.restartAt();
    ASSERT_TRUE(deck.playing());

    void* (*volatile allocate)(size_t) = malloc;  // the counter itself must see allocations
    counting = true;
    free(allocate(16));
    counting = false;
    ASSERT_EQ(allocations.exchange(0), 1);

    counting = true;
    // Through the end of the stream and beyond a full turn of the ring, as a playing deck would.
    for (int step = 0; step < 600; ++step) {
        if (deck.decodeStep() == 0) {
            deck.followPlayPosition(deck.aheadCount() - Deck::kFrameSize);
        }
    }
    counting = false;

    EXPECT_EQ(allocations, 0);
    EXPECT_FALSE(deck.decoding());
    EXPECT_GT(sink.frames, 8 * 44100);
}

}  // namespace
