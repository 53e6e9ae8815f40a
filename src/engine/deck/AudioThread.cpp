#include "engine/deck/AudioThread.h"

#include <pthread.h>
#include <sched.h>

#include <chrono>

#include "core/RealTimeGuard.h"
#include "engine/deck/Deck.h"

AudioThread::AudioThread(Deck& deck0, Deck& deck1)
    : deck0_(deck0), deck1_(deck1), thread_(&AudioThread::run, this) {
    sched_param param{};
    param.sched_priority = sched_get_priority_min(SCHED_FIFO) + 10;
    pthread_setschedparam(thread_.native_handle(), SCHED_FIFO, &param);  // refused: normal
}

AudioThread::~AudioThread() {
    stop();
}

void AudioThread::stop() {
    if (!thread_.joinable()) {
        return;
    }
    stop_.raiseAndWait();
    thread_.join();
}

void AudioThread::run() {
    const realtime::Scope realTime;
    while (!stop_.raised()) {
        deck0_.serviceStep();
        deck1_.serviceStep();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    stop_.acknowledge();
}
