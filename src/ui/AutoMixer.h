#pragma once

class Application;

// The automatic mix from the playing deck into the other one: the other deck starts silent,
// takes the tempo and the beat, fades in over 16 steps of 200 ms, both hold (long mix), the first
// deck fades out, and with "Auto Mix" on the deck that went silent takes the next playlist row.
class AutoMixer {
  public:
    static constexpr int kStepPeriod = 200;

    explicit AutoMixer(Application& app);

    // Begins a mix into the deck, when the other deck plays and this one has a track and is
    // silent.
    void startAutoMix(int deck);
    // Timer 149: one step of the schedule.
    void autoMixStep();
    // "Mix Now !": stops a running mix, or starts playback or a mix.
    void mixNow();

    int mixTick() const { return tick_; }
    int mixTarget() const { return target_; }

  private:
    void setVolume(int deck, int volume);

    Application& app_;
    int tick_ = 0;
    int target_ = 0;
};
