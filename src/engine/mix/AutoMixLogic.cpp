#include "engine/mix/AutoMixLogic.h"

#include "engine/mix/DeckCommands.h"

namespace {

constexpr int kFadeInEnd = 16;
constexpr int kFadeOutStart = 48;
constexpr int kMixEnd = 64;
constexpr int kVolumeStep = 16;
constexpr int kFull = 256;

}  // namespace

AutoMixLogic::AutoMixLogic(DeckCommands& commands, Port& port) : commands_(commands), port_(port) {}

void AutoMixLogic::start(int a) {
    const int b = 1 - a;
    if (!port_.playing(b) || port_.playing(a) || !port_.playable(a)) {
        return;
    }
    // A deck whose pitch already came from tempo matching keeps it.
    if (port_.pitchFromUser(a) && port_.autoBpmOn()) {
        commands_.syncTempo(a);
    }
    port_.setVolume(b, kFull);
    port_.setVolume(a, 0);
    port_.play(a);
    tick_ = 0;
    target_ = a;
    running_ = true;
    port_.mixRunning(true);
}

void AutoMixLogic::step() {
    if (!running_) {
        return;  // a tick left over from a mix that was stopped
    }
    const int t = target_;
    ++tick_;
    if (tick_ > kFadeInEnd && tick_ < kFadeOutStart && port_.shortMix()) {
        tick_ = kFadeOutStart;
    }
    if (tick_ == kFadeInEnd) {
        commands_.selectDeck(1 - t);
    }
    if (tick_ == 1) {
        commands_.alignBeat(t);
    } else {
        commands_.alignBeatFine(tick_ <= kFadeInEnd ? t : 1 - t);
    }
    if (tick_ <= kFadeInEnd) {
        port_.setVolume(t, tick_ * kVolumeStep);
    } else if (tick_ >= kFadeOutStart) {
        port_.setVolume(1 - t, (kMixEnd - tick_) * kVolumeStep);
    }
    if (tick_ >= kMixEnd) {
        end();
    }
}

void AutoMixLogic::end() {
    const int outgoing = 1 - target_;
    stop();
    if (port_.autoMixOn() && !port_.loadNextFromPlaylist(outgoing)) {
        port_.stop(outgoing);  // nothing left to play: no silent deck left running
    }
}

void AutoMixLogic::mixNow() {
    if (running_) {
        stop();
        return;
    }
    const int s = port_.currentDeck();
    const int o = 1 - s;
    if (!port_.playing(s) && !port_.playing(o)) {
        if (port_.playable(o)) {
            port_.play(o);
        } else if (port_.playable(s)) {
            port_.play(s);
        }
    } else if (port_.playing(o) && !port_.playing(s)) {
        start(s);
    } else if (port_.playing(s) && !port_.playing(o)) {
        start(o);
    }
}

void AutoMixLogic::stop() {
    if (running_) {
        running_ = false;
        port_.mixRunning(false);
    }
}
