#pragma once

class DeckCommands;

// The automatic mix from the playing deck into the other one, one step per tick of a 200 ms
// clock that the caller runs while the mix is on: the other deck starts silent, takes the tempo
// and the beat, fades in over 16 steps, both hold (long mix), the first deck fades out over 16
// steps, and with "Auto Mix" on the deck that went silent takes the next playlist row (or stops
// when there is none). With "Auto Mix" on the set never waits: a track too short to mix with is
// played to its end and the other deck starts then, at full volume; a row that cannot be loaded
// is skipped for the next one. Volumes run from 0 (silent) to 256 (full). Main thread.
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
        // A file asked for is still on its way to the deck.
        virtual bool loading(int deck) const = 0;
        // The length of the deck's track in seconds, -1 when not known.
        virtual int trackSeconds(int deck) const = 0;
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
        // False when the playlist has no playable row left.
        virtual bool loadNextFromPlaylist(int deck) = 0;
        // The deck could not load its file: when the file was a playlist row, the row goes back
        // into the playlist marked unplayable and true is returned.
        virtual bool returnUnplayableRow(int deck) = 0;
        // The clock, and the pushed "Mix Now !" button, follow this.
        virtual void mixRunning(bool running) = 0;
    };

    AutoMixLogic(DeckCommands& commands, Port& port);

    // Begins a mix into the deck when the other deck plays and this one has a track and is
    // silent; a mix already running starts over. Otherwise nothing changes.
    void start(int deck);
    // The other deck passed its mix point: a mix into this deck as start() does, unless one of
    // the two tracks is too short to mix with; that one then plays to its end.
    void mixInto(int deck);
    // The deck's track reached its end: a mix out of it ends there, the other deck starts when
    // nothing plays, and the deck takes the next playlist row.
    void trackEnded(int deck);
    // The deck took in the file it was asked to load.
    void trackLoaded(int deck);
    // The deck could not open its file: a playlist row is skipped for the next one.
    void loadFailed(int deck);
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
    bool tooShortToMix(int deck) const;
    // Starts the deck at full volume, at once or, while its file is on its way, once loaded.
    void startAlone(int deck);

    DeckCommands& commands_;
    Port& port_;
    bool running_ = false;
    int tick_ = 0;
    int target_ = 0;
    int startWhenLoaded_ = -1;  // the deck to start once its file is taken in, or -1
};
