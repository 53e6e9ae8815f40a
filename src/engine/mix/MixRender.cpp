#include "engine/mix/MixRender.h"

#include <chrono>
#include <cstdio>
#include <thread>

#include "engine/sound/PcmSink.h"

namespace {

constexpr int kRate = Deck::kSampleRate;
constexpr int64_t kStepFrames = int64_t{kRate} * AutoMixLogic::kStepPeriod / 1000;
// A deck asked to play after a block starts at its next service step, once the card took the
// next block, writing from the card's play cursor (it was silent): it is heard one block on.
constexpr int64_t kHeardAfter = OfflineStream::kBlockFrames;
// Four service steps a 5.8 ms card block, a few more than the audio thread takes: the decks stay as
// far ahead of the card as they run in the program.
constexpr int kServiceStepsPerBlock = 4;

}  // namespace

MixRender::MixRender(std::vector<std::string> tracks, Options options, TrackInfoStore& store,
                     SoundSystem::DecoderFactory makeDecoder)
    : tracks_(std::move(tracks)),
      options_(options),
      sound_(backend_, engine_, std::move(makeDecoder)),
      actions_(*this),
      mix_(actions_, *this) {
    engine_.store = &store;
    engine_.events = this;
    engine_.autoMixEnabled = 1;
    engine_.autoBpmEnabled = 1;
    placements_.resize(tracks_.size());
    for (std::size_t i = 0; i < tracks_.size(); ++i) {
        placements_[i].track = i;
    }
    events_.reserve(16);
}

MixRender::~MixRender() {
    engine_.events = nullptr;  // the decks store their records as they go, and say nothing
}

std::string MixRender::run(PcmSink& sink, const Progress& progress, const std::atomic<bool>* stop) {
    if (const char* error = sound_.openSound(SoundConfig{}, false)) {
        return error;
    }
    OfflineStream& card = *backend_.stream();
    block_.resize(static_cast<std::size_t>(OfflineStream::kBlockFrames) * card.channels());
    loadNextFromPlaylist(0);
    loadNextFromPlaylist(1);
    int64_t reported = 0;
    while (!finished()) {
        if (stop != nullptr && stop->load()) {
            return "stopped";
        }
        if (started_ == 0 && !loading(0) && !loading(1)) {
            mix_.mixNow();  // as the DJ starts the set: deck A, or B when A has nothing
            if (!playing(0) && !playing(1) && !playable(0) && !playable(1) &&
                next_ == tracks_.size()) {
                break;  // nothing in the list could be opened
            }
        }
        if (!renderBlock(sink)) {
            return "the output could not be written";
        }
        if (progress && framesRendered() - reported >= kRate) {
            reported = framesRendered();
            progress(reported, started_);
        }
    }
    if (progress) {
        progress(framesRendered(), started_);
    }
    return {};
}

bool MixRender::renderBlock(PcmSink& sink) {
    awaitLoads();
    backend_.stream()->pull(block_.data());
    // Before the first track is heard the card plays nothing worth keeping.
    if (heardFrom_ >= 0 && frames_ >= heardFrom_ &&
        !sink.write(block_.data(), OfflineStream::kBlockFrames)) {
        return false;
    }
    frames_ += OfflineStream::kBlockFrames;
    for (int s = 0; s < kServiceStepsPerBlock; ++s) {
        deck(0).serviceStep();
        deck(1).serviceStep();
    }
    handleEvents();
    if (nextStep_ >= 0 && frames_ >= nextStep_) {
        nextStep_ += kStepFrames;
        mix_.step();
    }
    return true;
}

void MixRender::awaitLoads() const {
    for (int d = 0; d < 2; ++d) {
        const Deck& deck = *engine_.decks[d];
        // The loader thread opens the file; a render must not run on without it, as the program's
        // card does, or the same list would mix differently from one run to the next.
        while (deck.loadPending() && !deck.loadReady()) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    }
}

bool MixRender::finished() const {
    if (started_ == 0 || mix_.running()) {
        return false;
    }
    for (int d = 0; d < 2; ++d) {
        const Deck& deck = *engine_.decks[d];
        if (deck.playing() || deck.transportRequest() == Deck::Transport::Play ||
            deck.loadPending()) {
            return false;
        }
    }
    return events_.empty();
}

void MixRender::handleEvents() {
    // Taken one by one: handling one may bring the next (a failed load loads the next track).
    for (std::size_t i = 0; i < events_.size(); ++i) {
        const DeckEvent e = events_[i];
        switch (e.event) {
            case Event::MixInto:
                mix_.mixInto(e.deck);
                break;
            case Event::TrackEnded:
                mix_.trackEnded(e.deck);
                break;
            case Event::TrackLoaded:
                if (options_.bpm > 0.0f) {
                    Deck& loaded = deck(e.deck);
                    if (loaded.matchTempo(options_.bpm)) {
                        loaded.setPitchFromUser(false);
                    } else if (deckTrack_[e.deck] >= 0) {
                        char bpm[32];
                        std::snprintf(bpm, sizeof bpm, "%.2f", options_.bpm);
                        warnings_.push_back(tracks_[static_cast<std::size_t>(deckTrack_[e.deck])] +
                                            ": " + bpm +
                                            " BPM is out of its pitch range: it plays at its own "
                                            "tempo");
                    }
                }
                mix_.trackLoaded(e.deck);
                break;
            case Event::LoadFailed:
                mix_.loadFailed(e.deck);
                break;
        }
    }
    events_.clear();
}

void MixRender::mixInto(int deck) {
    for (const DeckEvent& e : events_) {
        if (e.event == Event::MixInto && e.deck == deck) {
            return;  // said at every service step while it holds
        }
    }
    events_.push_back({Event::MixInto, deck});
}

void MixRender::trackEnded(int deck) {
    events_.push_back({Event::TrackEnded, deck});
}

void MixRender::trackLoaded(int deck) {
    events_.push_back({Event::TrackLoaded, deck});
}

void MixRender::loadFailed(int deck) {
    events_.push_back({Event::LoadFailed, deck});
}

void MixRender::play(int d) {
    deck(d).requestPlay();
    const int track = deckTrack_[d];
    if (heardFrom_ < 0) {
        heardFrom_ = frames_ + kHeardAfter;
    }
    if (track >= 0 && placements_[static_cast<std::size_t>(track)].startFrame < 0) {
        placements_[static_cast<std::size_t>(track)].startFrame =
            frames_ + kHeardAfter - heardFrom_;
        ++started_;
    }
}

void MixRender::stop(int d) {
    deck(d).requestStop();
}

void MixRender::setVolume(int d, int volume) {
    deck(d).setVolume(volume);
}

bool MixRender::loadNextFromPlaylist(int d) {
    if (next_ == tracks_.size()) {
        return false;
    }
    deckTrack_[d] = static_cast<int>(next_);
    deck(d).requestLoad(tracks_[next_++]);
    return true;
}

bool MixRender::returnUnplayableRow(int d) {
    const int track = deckTrack_[d];
    if (track < 0) {
        return false;
    }
    deckTrack_[d] = -1;
    warnings_.push_back(tracks_[static_cast<std::size_t>(track)] +
                        ": cannot be opened, left out of the mix");
    return true;
}

void MixRender::mixRunning(bool running) {
    nextStep_ = running ? frames_ + kStepFrames : -1;
}
