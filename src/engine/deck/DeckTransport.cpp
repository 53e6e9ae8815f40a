// The service step of a deck and the transport moves it carries out, on the audio thread.
#include <algorithm>
#include <cmath>

#include "engine/deck/Deck.h"
#include "engine/deck/DeckEvents.h"

namespace {

constexpr float kAutoMixPoint = 0.8f;

}  // namespace

void Deck::serviceStep() {
    fade_.nextStep();
    applyAnalyses();
    if (playing()) {
        followPlayPosition(output_->pendingSamples());
        notifyPosition();
    } else {
        output_->poll();
    }
    // Only the most urgent request, or else one more frame. While a file opens, the deck pauses
    // and keeps the other requests for the new track.
    if (loadPending()) {
        if (!load()) {
            if (transport_ == Transport::Pause) {
                pause();
            } else {
                decodeStep();
            }
        }
    } else if (pendingSeek_.pending()) {
        seek();
    } else if (pendingPitch_ != 0) {
        applyPitch();
    } else if (transport_ == Transport::Play) {
        play();
    } else if (transport_ == Transport::Pause) {
        pause();
    } else if (pendingMove_ != 0) {
        if (playing()) {
            moveWhilePlaying();
        } else {
            moveWhilePaused();
        }
    } else if (pendingVolume_.pending()) {
        applyVolume();
    } else {
        decodeStep();
    }
}

void Deck::notifyPosition() {
    DeckEvents* events = engine_.events;
    if (position_ == -1.0f) {
        // The silence after the end: this step's pause stops it being reported again.
        transport_ = Transport::Pause;
        cueState_ = 0;
        if (events != nullptr) {
            events->trackEnded(index_);
        }
        return;
    }
    const Deck* other = engine_.decks[1 - index_];
    if (engine_.autoMixEnabled && position_ >= kAutoMixPoint && other != nullptr &&
        !other->playing() && events != nullptr) {
        events->mixInto(1 - index_);
    }
}

int Deck::samplesBetween(double from, double to) const {
    // Rounded, not truncated: a distance that is a whole number of samples must not come out
    // one short because a stream fraction is a float.
    return static_cast<int>(std::lround((to - from) * durationSeconds_ * kSampleRate));
}

void Deck::moveReadIndex(int frames) {
    aheadCount_ -= frames;
    int read = readIndex_ + frames;
    if (read < 0) {
        read += kRingSize;
    } else if (read >= kRingSize) {
        read -= kRingSize;
    }
    readIndex_ = read;
}

void Deck::seek() {
    const float target = *pendingSeek_.take();
    if (target >= 1.0f) {
        // Stopped past the end: nothing playable until a seek or cue gives a position again. A
        // play that came with the request (a seek while paused asks for one) must not start the
        // stale ring.
        transport_ = Transport::None;
        position_ = -1.0f;
        playing_ = 0;
        decoding_ = 0;
        flushOutput();
        output_->fillSilence();
        cueState_ = 0;
        return;
    }
    if (decoder_ == nullptr) {
        return;  // no file: nothing to seek in
    }
    keepForFade();
    decoder_->seekTo(target);
    position_ = target;
    restartAt();
    // From where decoding really resumed to the target, exact to the sample when that lies within
    // the frame just decoded.
    const double resumed = frameTable_[readIndex_ / kFrameSize];
    const int r = samplesBetween(resumed, target);
    if (r > 0 && r < aheadCount_) {
        moveReadIndex(r);
        if (playing()) {
            resend();
        }
    }
}

void Deck::applyPitch() {
    setPitch(pendingPitch_.exchange(0));
    if (playing()) {
        // What is buffered is heard at the new speed at once.
        if (aheadCount_ <= 0) {
            decodeStep();
        } else {
            resend();
        }
    }
}

void Deck::play() {
    transport_ = Transport::None;
    if (!playing()) {
        playing_ = 1;
        resend(true);
    }
}

void Deck::moveWhilePlaying() {
    int m = pendingMove_.exchange(0);
    if (position_ == -1.0f || aheadCount_ <= 0) {
        return;
    }
    if (m < 0) {
        const int limit = unfilledCount_ + aheadCount_ - (kRingSize - 1);
        if (limit >= 0) {
            return;  // no history behind the play position
        }
        m = std::max(m, limit);
    } else {
        m = std::min(m, aheadCount_.load());
    }
    if (m != 0) {
        keepForFade();
    }
    moveReadIndex(m);
    resend();
}

void Deck::moveWhilePaused() {
    int m = pendingMove_.exchange(0);
    if (position_ == -1.0f || aheadCount_ <= 0) {
        return;
    }
    if (m < unfilledCount_ + aheadCount_ - (kRingSize - 1)) {
        // Beyond the history: the decoder goes back, and the distance is measured again from
        // where decoding resumed, kept within the one frame decoded there (a whole frame on
        // would put the play position on a slot not decoded yet).
        const double from = frameTable_[readIndex_ / kFrameSize];
        const double target =
            std::max(0.0, from + (m + readIndex_ % kFrameSize) /
                                     (static_cast<double>(durationSeconds_) * kSampleRate));
        decoder_->seekTo(static_cast<float>(target));
        restartAt();
        const double resumed = frameTable_[readIndex_ / kFrameSize];
        m = std::clamp(samplesBetween(resumed, target), 0, kFrameSize - 1);
    } else if (m > 0) {
        m = std::min(m, aheadCount_.load());
    }
    moveReadIndex(m);
    position_ = frameTable_[readIndex_ / kFrameSize];
    // A short preview of the new place: one frame, or what is left ahead.
    if (aheadCount_ > kFrameSize) {
        const int write = writeIndex_;
        writeIndex_ = (readIndex_ + kFrameSize) % kRingSize;
        resend();
        writeIndex_ = write;
    } else {
        resend();
    }
}

void Deck::applyVolume() {
    output_->setVolume(*pendingVolume_.take());
    if (playing()) {
        resend();  // the level is applied while writing
    }
}
