#include "engine/deck/AudioThread.h"

#include <pthread.h>
#include <sched.h>

#include "core/RealTimeGuard.h"
#include "engine/deck/Deck.h"
#include "engine/deck/ServiceWake.h"

AudioThread::AudioThread(Deck& deck0, Deck& deck1, ServiceWake& wake)
    : deck0_(deck0), deck1_(deck1), wake_(wake), thread_(&AudioThread::run, this) {
    sched_param param{};
    param.sched_priority = sched_get_priority_min(SCHED_FIFO) + 10;
    pthread_setschedparam(thread_.native_handle(), SCHED_FIFO, &param);  // refused: normal
    pthread_setname_np(thread_.native_handle(), "deck service");         // as top and /proc show it
}

AudioThread::~AudioThread() {
    stop();
}

void AudioThread::stop() {
    if (!thread_.joinable()) {
        return;
    }
    stop_.raiseAndWait([this] { wake_.notify(); });
    thread_.join();
}

void AudioThread::run() {
    const realtime::Scope realTime;
    auto lastBusy = std::chrono::steady_clock::now();
    int hurried = 0;
    while (!stop_.raised()) {
        // Read before the pass: a request left during it ends the wait at once.
        const uint32_t seen = wake_.count();
        deck0_.serviceStep();
        deck1_.serviceStep();
        const auto now = std::chrono::steady_clock::now();
        // A step takes one request or one frame: the rest of a burst, or the first frames after a
        // seek, go at once; a bounded number of passes, so that nothing can keep the thread busy.
        if ((deck0_.wantsStepNow() || deck1_.wantsStepNow()) && ++hurried < kHurriedPasses) {
            continue;
        }
        hurried = 0;
        if (deck0_.needsService() || deck1_.needsService()) {
            lastBusy = now;
        }
        if (now - lastBusy < kSettle) {
            wake_.waitFor(seen, kStepPeriod);
        } else {
            resting_.store(true, std::memory_order_release);
            wake_.wait(seen);
            resting_.store(false, std::memory_order_release);
            lastBusy = std::chrono::steady_clock::now();
        }
    }
    stop_.acknowledge();
}
