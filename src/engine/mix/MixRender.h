#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/deck/DeckEvents.h"
#include "engine/deck/EngineState.h"
#include "engine/deck/SoundSystem.h"
#include "engine/mix/AutoMixLogic.h"
#include "engine/mix/DeckActions.h"
#include "engine/mix/DecksPort.h"
#include "engine/sound/OfflineBackend.h"

class PcmSink;
class TrackInfoStore;

// A playlist played through by the automatic mix, "Auto Mix" and "Auto BPM" on, as fast as the
// machine allows: the program's two decks on one offline card, their service steps, the mix's
// 200 ms steps and the card's callbacks all run on the caller's clock, which advances by one card
// block at a time and waits for a file still opening. The first track starts at its start of
// music on deck A; everything the card plays goes to the sink until the last track ends.
// Frames are 44100 Hz stereo frames, counted from the output's start. Main thread (the caller's).
class MixRender : public DeckActions::Host, public DecksPort, public DeckEvents {
  public:
    struct Options {
        bool longMix = false;  // a hold between the fades
        float bpm = 0.0f;      // the tempo of the whole set, 0 to follow the first track's
    };
    // Where each track of the list went: its first frame heard in the output, -1 when it was not
    // played (it could not be opened).
    struct Placement {
        std::size_t track = 0;
        int64_t startFrame = -1;
    };
    using Progress = std::function<void(int64_t framesRendered, std::size_t tracksStarted)>;

    MixRender(std::vector<std::string> tracks, Options options, TrackInfoStore& store,
              SoundSystem::DecoderFactory makeDecoder);
    ~MixRender() override;
    MixRender(const MixRender&) = delete;
    MixRender& operator=(const MixRender&) = delete;

    // Renders the whole set into the sink. progress is called about once a rendered second;
    // `stop`, when raised, ends the render early. An empty string when the set was rendered, else
    // why not (the sound system could not open, the sink failed, stopped).
    std::string run(PcmSink& sink, const Progress& progress = {},
                    const std::atomic<bool>* stop = nullptr);

    // In the order of the list given.
    const std::vector<Placement>& placements() const { return placements_; }
    // Warnings met on the way (a track that could not be opened, a tempo out of reach), one line
    // each.
    const std::vector<std::string>& warnings() const { return warnings_; }
    int64_t framesRendered() const {
        return heardFrom_ < 0 ? 0 : std::max<int64_t>(frames_ - heardFrom_, 0);
    }

    // The deck actions' host.
    Deck& deck(int index) override { return *sound_.deck(index); }
    int cueVolume() const override { return 0; }
    void deckSelected(int deck) override { selected_ = deck; }
    void pitchChanged(int, int) override {}
    void pageChosen(int) override {}
    void volumesChanged(int, int) override {}
    void stopMix() override { mix_.stop(); }

    // The automatic mix's port.
    const Deck& mixDeck(int deck) const override { return *engine_.decks[deck]; }
    void play(int deck) override;
    void stop(int deck) override;
    void setVolume(int deck, int volume) override;
    int currentDeck() const override { return selected_; }
    bool shortMix() const override { return !options_.longMix; }
    bool autoBpmOn() const override { return true; }
    bool autoMixOn() const override { return true; }
    bool loadNextFromPlaylist(int deck) override;
    bool returnUnplayableRow(int deck) override;
    void mixRunning(bool running) override;

    // The decks' messages, from their service steps: kept for after the steps, as the window
    // takes them from its queue.
    void mixInto(int deck) override;
    void trackEnded(int deck) override;
    void trackLoaded(int deck) override;
    void loadFailed(int deck) override;

  private:
    enum class Event { MixInto, TrackEnded, TrackLoaded, LoadFailed };
    struct DeckEvent {
        Event event;
        int deck;
    };

    // One card block, then the decks' service steps, their messages and a due mix step.
    bool renderBlock(PcmSink& sink);
    void handleEvents();
    // Until no deck waits for a file still opening on its loader thread.
    void awaitLoads() const;
    bool finished() const;

    std::vector<std::string> tracks_;
    Options options_;
    EngineState engine_;
    OfflineBackend backend_;
    SoundSystem sound_;
    DeckActions actions_;
    AutoMixLogic mix_;
    std::vector<Placement> placements_;
    std::vector<std::string> warnings_;
    std::vector<DeckEvent> events_;
    std::vector<int16_t> block_;
    std::size_t next_ = 0;         // the next track of the list to load
    int deckTrack_[2] = {-1, -1};  // the list's track each deck was given, or -1
    std::size_t started_ = 0;      // tracks that began to play
    int selected_ = 1;             // so that the first "Mix Now !" starts deck A
    int64_t frames_ = 0;           // the card's frames so far
    int64_t heardFrom_ = -1;  // the card's frame where the first track is heard: the output's 0
    int64_t nextStep_ = -1;   // the card's frame of the next mix step, -1 while none runs
};
