#pragma once

#include <array>

#include "engine/sound/AudioDevice.h"
#include "engine/sound/RingOutput.h"

// The outputs that drive buffers of an AudioDevice and set each buffer's volume on the device:
// one stereo buffer, the same stream on two cards, or mono buffers on the four speakers of a
// four-channel card. The deck's volume goes to the main buffers, its cue level to the cue ones.
class BufferOutput : public RingOutput {
  public:
    // A cursor back by up to a second (stereo frames) moved back rather than wrapped.
    static constexpr int kNoTimingWrap = -44100;

    void write(const int16_t* frames, int count) override;
    void poll() override;
    void fillSilence() override;
    void setVolume(int level) override;
    void setCueVolume(int level) override;
    const char* start() override;
    void flush() override;
    void flushSilent() override;

    // Where the output's buffer-th buffer is written up to, in that buffer's frames.
    int writePosition(int buffer) const { return slots_[buffer].writePosition; }

  protected:
    enum class Channels { Both, Left, Right };
    enum class Role { Main, Cue };

    // unifyPair: the first two buffers are the left and right of one pair, whose cursors must
    // agree.
    explicit BufferOutput(bool unifyPair) : RingOutput(kNoTimingWrap), unifyPair_(unifyPair) {}

    // main: adds a buffer; the first, a main one, is the buffer whose consumption is counted.
    void addBuffer(AudioDevice& device, Placement placement, Channels channels, Role role);

  private:
    struct Slot {
        AudioDevice* device;
        LoopBuffer* buffer;
        Channels channels;
        Role role;
        int writePosition = 0;
        int writeCursor = 0;
        int playCursor = 0;
    };

    void catchUpUnderrun(const int16_t*& frames, int& count, int& out);
    void setLevel(Role role, int level);

    // After a silent flush: the first write starts at the play cursor when it fills the block
    // there; whether it did.
    bool startAtThePlayCursor(int out);

    const bool unifyPair_;
    bool headStart_ = false;  // a silent flush, not yet written after
    std::array<Slot, 4> slots_{};
    int slotCount_ = 0;
};

// Any thread: the DirectSound volume (hundredths of a decibel) of a level from 0 to 256: 0 at 256,
// falling with the square of the distance from it, about -59 dB at 2; levels 0 and 1 are silent
// (-100 dB).
int bufferVolume(int level);

// One stereo buffer on one card.
class DirectSoundOutput : public BufferOutput {
  public:
    explicit DirectSoundOutput(AudioDevice& device);
};

// The same stream on two cards: the first at the deck's volume, the second at its cue level.
class TwoCardOutput : public BufferOutput {
  public:
    TwoCardOutput(AudioDevice& mainCard, AudioDevice& cueCard);
};

// The left and right speaker of one pair of a four-channel card: the front pair at depth +1,
// the rear pair at -1.
class QuadPairOutput : public BufferOutput {
  public:
    QuadPairOutput(AudioDevice& device, int depth);
};

// A main pair at depth and a cue pair at -depth on a four-channel card.
class QuadCueOutput : public BufferOutput {
  public:
    QuadCueOutput(AudioDevice& device, int depth);
};
