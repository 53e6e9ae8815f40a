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

void AutoMixLogic::mixInto(int deck) {
    if (!tooShortToMix(deck) && !tooShortToMix(1 - deck)) {
        start(deck);
    }
}

bool AutoMixLogic::tooShortToMix(int deck) const {
    const int mixSteps = port_.shortMix() ? kMixEnd - (kFadeOutStart - kFadeInEnd) : kMixEnd;
    const int seconds = port_.trackSeconds(deck);
    return seconds >= 0 && seconds * 1000 < mixSteps * kStepPeriod;
}

void AutoMixLogic::trackEnded(int deck) {
    const int other = 1 - deck;
    if (running_) {
        // The track mixed out of, or into, is over: the other one takes the whole volume.
        port_.setVolume(other, kFull);
        stop();
    }
    if (port_.autoMixOn() && !port_.playing(other)) {
        if (port_.playable(other) || port_.loading(other)) {
            startAlone(other);
        } else {
            if (port_.loadNextFromPlaylist(deck)) {
                startAlone(deck);  // the other deck has nothing: this one carries the set on
            }
            return;
        }
    }
    port_.loadNextFromPlaylist(deck);
}

void AutoMixLogic::startAlone(int deck) {
    if (port_.loading(deck)) {
        startWhenLoaded_ = deck;
        return;
    }
    startWhenLoaded_ = -1;
    port_.setVolume(deck, kFull);
    port_.play(deck);
}

void AutoMixLogic::trackLoaded(int deck) {
    if (startWhenLoaded_ == deck && !port_.loading(deck)) {
        startWhenLoaded_ = -1;
        if (port_.autoMixOn() && !port_.playing(1 - deck)) {
            startAlone(deck);
        }
    }
}

void AutoMixLogic::loadFailed(int deck) {
    if (port_.returnUnplayableRow(deck) && port_.autoMixOn() && port_.loadNextFromPlaylist(deck)) {
        return;  // a deck waiting to start waits for this row
    }
    if (startWhenLoaded_ == deck) {
        startWhenLoaded_ = -1;
    }
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
