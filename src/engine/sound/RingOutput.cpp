#include "engine/sound/RingOutput.h"

int RingOutput::pendingSamples() {
    const int old = devicePosition_;
    poll();
    int delta = devicePosition_ - old;
    if (delta < wrapThreshold_) {
        delta += kRing;
    }
    queued_ -= delta;
    if (queued_ <= -kRing) {
        queued_ += kRing;
    }
    return (pitch * queued_ - phase_ + (kUnityPitch - 1)) / kUnityPitch;
}
