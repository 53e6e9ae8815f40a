#include "engine/sound/BufferOutput.h"

#include <algorithm>

#include "core/SharedValue.h"

namespace {

constexpr int kHalfRing = RingOutput::kRing / 2;

Placement pairPlacement(bool left, int depth) {
    if (depth >= 0) {
        return left ? Placement::FrontLeft : Placement::FrontRight;
    }
    return left ? Placement::RearLeft : Placement::RearRight;
}

}  // namespace

int bufferVolume(int level) {
    if (level < 2) {
        return LoopBuffer::kSilentVolume;
    }
    return (level - 256) * (256 - level) * 6000 / 65536;
}

void BufferOutput::addBuffer(AudioDevice& device, Placement placement, Channels channels,
                             Role role) {
    Slot& slot = slots_[slotCount_++];
    slot.device = &device;
    slot.buffer = device.createBuffer(placement);
    slot.channels = channels;
    slot.role = role;
}

void BufferOutput::catchUpUnderrun(const int16_t*& frames, int& count, int& out) {
    // The device already played -queued frames nothing was written for: drop the part of the new
    // audio that belongs there and write the rest at the write cursor.
    for (int s = 0; s < slotCount_; ++s) {
        slots_[s].writePosition = slots_[s].writeCursor;
    }
    const int skip = (kUnityPitch - 1 - queued_ * pitch - phase_) / kUnityPitch;
    frames += 2 * skip;
    count -= skip;
    phase_ = phase_ + skip * kUnityPitch + queued_ * pitch;
    out += queued_;
    queued_ = 0;
}

void BufferOutput::write(const int16_t* frames, int count) {
    if (count == 0) {
        return;
    }
    int out = framesOut(count);
    const bool early = headStart_ && startAtThePlayCursor(out);
    headStart_ = false;
    if (queued_ < 0 && !early) {
        if (out <= -queued_) {
            // The whole call lies in the past.
            for (int s = 0; s < slotCount_; ++s) {
                slots_[s].writePosition = wrap(slots_[s].writePosition + out);
            }
            queued_ += out;
            return;
        }
        catchUpUnderrun(frames, count, out);
    }
    resample(frames, count, [this](int k, const int16_t* frame) {
        for (int s = 0; s < slotCount_; ++s) {
            Slot& slot = slots_[s];
            const int at = wrap(slot.writePosition + k);
            int16_t* samples = slot.buffer->samples();
            switch (slot.channels) {
                case Channels::Both:
                    storeShared(samples[2 * at], frame[0]);
                    storeShared(samples[2 * at + 1], frame[1]);
                    break;
                case Channels::Left:
                    storeShared(samples[at], frame[0]);
                    break;
                case Channels::Right:
                    storeShared(samples[at], frame[1]);
                    break;
            }
        }
    });
    for (int s = 0; s < slotCount_; ++s) {
        slots_[s].writePosition = wrap(slots_[s].writePosition + out);
        slots_[s].buffer->publish(slots_[s].writePosition);
    }
    queued_ += out;
}

void BufferOutput::poll() {
    for (int s = 0; s < slotCount_; ++s) {
        slots_[s].device->cursors(*slots_[s].buffer, slots_[s].playCursor, slots_[s].writeCursor);
    }
    if (unifyPair_) {
        Slot& left = slots_[0];
        Slot& right = slots_[1];
        const int ahead = left.writeCursor - right.writeCursor;
        if (ahead > 0 && ahead < kHalfRing) {
            right.writeCursor = left.writeCursor;
            right.playCursor = left.playCursor;
        } else {
            left.writeCursor = right.writeCursor;
            left.playCursor = right.playCursor;
        }
    }
    devicePosition_ = slots_[0].writeCursor;  // the first buffer is always a main one
}

void BufferOutput::fillSilence() {
    for (int s = 0; s < slotCount_; ++s) {
        Slot& slot = slots_[s];
        int gap = slot.playCursor - slot.writePosition;
        if (gap < 0) {
            gap += kRing;
        }
        if (gap <= 1) {
            continue;
        }
        // Up to the frame just before the play cursor.
        const int channels = slot.buffer->channels();
        int16_t* samples = slot.buffer->samples();
        const int first = std::min(gap - 1, kRing - slot.writePosition);
        clearShared(samples + channels * slot.writePosition, channels * first);
        clearShared(samples, channels * (gap - 1 - first));
        slot.writePosition = wrap(slot.writePosition + gap - 1);
        slot.buffer->publish(slot.writePosition);
    }
}

void BufferOutput::setLevel(Role role, int level) {
    for (int s = 0; s < slotCount_; ++s) {
        if (slots_[s].role == role) {
            slots_[s].buffer->setVolume(bufferVolume(level));
        }
    }
}

void BufferOutput::setVolume(int level) {
    setLevel(Role::Main, level);
}

void BufferOutput::setCueVolume(int level) {
    setLevel(Role::Cue, level);
}

const char* BufferOutput::start() {
    for (int s = 0; s < slotCount_; ++s) {
        slots_[s].buffer->start();
    }
    return nullptr;
}

void BufferOutput::flush() {
    for (int s = 0; s < slotCount_; ++s) {
        slots_[s].writePosition = slots_[s].writeCursor;
    }
    queued_ = 0;
    phase_ = 0;
    headStart_ = false;
}

void BufferOutput::flushSilent() {
    flush();
    headStart_ = true;
}

bool BufferOutput::startAtThePlayCursor(int out) {
    int lead = slots_[0].writeCursor - slots_[0].playCursor;
    if (lead < 0) {
        lead += kRing;
    }
    if (out < lead) {
        return false;  // too little to fill the block: it would play out and leave a gap
    }
    for (int s = 0; s < slotCount_; ++s) {
        slots_[s].writePosition = slots_[s].playCursor;
    }
    // Consumption is counted from the write cursor: the block before it plays what is written now.
    queued_ = -lead;
    return true;
}

DirectSoundOutput::DirectSoundOutput(AudioDevice& device) : BufferOutput(false) {
    addBuffer(device, Placement::Stereo, Channels::Both, Role::Main);
}

TwoCardOutput::TwoCardOutput(AudioDevice& mainCard, AudioDevice& cueCard) : BufferOutput(false) {
    addBuffer(mainCard, Placement::Stereo, Channels::Both, Role::Main);
    addBuffer(cueCard, Placement::Stereo, Channels::Both, Role::Cue);
}

QuadPairOutput::QuadPairOutput(AudioDevice& device, int depth) : BufferOutput(true) {
    addBuffer(device, pairPlacement(true, depth), Channels::Left, Role::Main);
    addBuffer(device, pairPlacement(false, depth), Channels::Right, Role::Main);
}

QuadCueOutput::QuadCueOutput(AudioDevice& device, int depth) : BufferOutput(false) {
    addBuffer(device, pairPlacement(true, depth), Channels::Left, Role::Main);
    addBuffer(device, pairPlacement(false, depth), Channels::Right, Role::Main);
    addBuffer(device, pairPlacement(true, -depth), Channels::Left, Role::Cue);
    addBuffer(device, pairPlacement(false, -depth), Channels::Right, Role::Cue);
}
