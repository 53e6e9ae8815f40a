#pragma once

class DeckCommands;

// The automatic mix from the playing deck into the other one, one step per tick of a 200 ms
// clock that the caller runs while the mix is on: the other deck starts silent, takes the tempo
// and the beat, fades in over 16 steps, both hold (long mix), the first deck fades out over 16
// steps, and with "Auto Mix" on the deck that went silent takes the next playlist row (or stops
// when there is none). Volumes run from 0 (silent) to 256 (full). Main thread.
class AutoMixLogic {
  public:
    static constexpr int kStepPeriod = 200;  // ms

    // What the mix reads and changes beyond the deck actions. Main thread.
    class Port {
      public:
        virtual ~Port() = default;
        virtual bool playing(int deck) const = 0;
        // A track is loaded and can start.
        virtual bool playable(int deck) const = 0;
        // The deck's pitch was set by hand rather than by a tempo match.
        virtual bool pitchFromUser(int deck) const = 0;
        virtual void play(int deck) = 0;
        virtual void stop(int deck) = 0;
        virtual void setVolume(int deck, int volume) = 0;
        // The selected deck.
        virtual int currentDeck() const = 0;
        // "Short Mix": no hold between the fades.
        virtual bool shortMix() const = 0;
        // "Auto BPM": the incoming deck takes the other's tempo.
        virtual bool autoBpmOn() const = 0;
        // "Auto Mix": the silent deck takes the next playlist row at the end.
        virtual bool autoMixOn() const = 0;
        // False when the playlist has no row left.
        virtual bool loadNextFromPlaylist(int deck) = 0;
        // The clock, and the pushed "Mix Now !" button, follow this.
        virtual void mixRunning(bool running) = 0;
    };

    AutoMixLogic(DeckCommands& commands, Port& port);

    // Begins a mix into the deck when the other deck plays and this one has a track and is
    // silent; a mix already running starts over. Otherwise nothing changes.
    void start(int deck);
    // One tick of the clock; nothing when no mix runs.
    void step();
    // "Mix Now !": stops a running mix, or starts playback or a mix.
    void mixNow();
    // Stops a running mix where it stands.
    void stop();

    bool running() const { return running_; }
    // Steps taken in the current or last mix; a short mix jumps from 16 to 48.
    int tick() const { return tick_; }
    // The deck the mix goes into.
    int target() const { return target_; }

  private:
    void end();

    DeckCommands& commands_;
    Port& port_;
    bool running_ = false;
    int tick_ = 0;
    int target_ = 0;
};
