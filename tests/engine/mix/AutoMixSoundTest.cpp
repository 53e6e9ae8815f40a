// An automatic mix between two decks, heard on the card: the deck actions, the mix's steps and the
// decks together, with the test as the mix's clock and the card's. That the mix's moves make no
// click is the jump fade's, which the click-free jump tests hear on every output.
#include <gtest/gtest.h>

#include <cmath>

#include "DeckLoading.h"
#include "Mp3Fixtures.h"
#include "TestSoundSystem.h"
#include "engine/deck/TrackAnalysis.h"
#include "engine/mix/AutoMixLogic.h"
#include "engine/mix/DeckActions.h"
#include "platform/Mpg123Decoder.h"

namespace {

constexpr int kRate = 44100;

// The mix's view of two decks of a sound system: "Short Mix" and "Auto BPM" on, deck 0 selected.
class MixHost : public DeckActions::Host, public AutoMixLogic::Port {
  public:
    explicit MixHost(SoundSystem& sound) : sound_(sound) {}

    Deck& deck(int index) override { return *sound_.deck(index); }
    int cueVolume() const override { return 0; }
    void deckSelected(int) override {}
    void pitchChanged(int, int) override {}
    void pageChosen(int) override {}
    void volumesChanged(int, int) override {}
    void stopMix() override {}

    bool playing(int d) const override { return sound_.deck(d)->playing(); }
    bool playable(int d) const override { return sound_.deck(d)->isPlayable(); }
    bool loading(int d) const override { return sound_.deck(d)->loadPending(); }
    int trackSeconds(int d) const override { return sound_.deck(d)->durationSeconds(); }
    bool pitchFromUser(int d) const override { return sound_.deck(d)->pitchFromUser(); }
    void play(int d) override { sound_.deck(d)->requestPlay(); }
    void stop(int d) override { sound_.deck(d)->requestStop(); }
    void setVolume(int d, int volume) override { sound_.deck(d)->setVolume(volume); }
    int currentDeck() const override { return 0; }
    bool shortMix() const override { return shortMixOn; }
    bool autoBpmOn() const override { return true; }
    bool autoMixOn() const override { return false; }
    bool loadNextFromPlaylist(int) override { return false; }
    bool returnUnplayableRow(int) override { return false; }
    void mixRunning(bool) override {}

    bool shortMixOn = true;

  private:
    SoundSystem& sound_;
};

// Seconds into its track at a deck's play position: the MP3 frame its ring slot came from (stream
// positions step evenly over the frames of a constant-rate fixture), and the frames into it. The
// step is read over a span of slots: one float step alone can miss the frame count by one, which
// moves a place late in the track by a whole frame.
double trackSeconds(const Deck& deck) {
    constexpr int kMp3Frame = 1152;
    constexpr int kSpan = 16;
    const auto& table = deck.frameTable();
    const int size = static_cast<int>(table.size());
    const int slot = deck.readIndex() / kMp3Frame;
    const float ahead = table[(slot + kSpan) % size];
    const double step = ahead > table[slot] ? ahead - table[slot]
                                            : table[slot] - table[(slot - kSpan + size) % size];
    const double frames = std::round(kSpan / step);
    const double frame =
        std::round(table[slot] * frames) * kMp3Frame + deck.readIndex() % kMp3Frame;
    return frame / kRate;
}

// Tracks of drums, a tone and clicks, mixed after analysis: at every step the beats of the two
// decks, read from where each plays in its track, are within 5 ms. Their detected tempos differ
// from the true ones by up to a tenth of a percent, so the mix must keep correcting a drift; the
// detector changes its kernel as a track goes on, which must not move the beats it lines up.
TEST(AutoMixSoundTest, BeatsStayTogetherThroughTheMix) {
    struct Mix {
        double bpm[2];
        bool shortMix;
        double startAt;  // seconds into the playing deck's track
    };
    const Mix mixes[] = {{{124, 128}, false, 3}, {{118, 130}, false, 3}, {{124, 124}, true, 27}};
    for (const Mix& m : mixes) {
        TempDir dir;
        TestSoundSystem t({}, makeMpg123Decoder);
        ASSERT_EQ(t.openError, nullptr);
        t.engine.autoBpmEnabled = 1;
        for (int d = 0; d < 2; ++d) {
            const Pcm pcm =
                scaled(mixed({drums(m.bpm[d], 34), tone(d == 0 ? 1500 : 300, 34, kRate, 2, 3000),
                              clicks(m.bpm[d], 34, d == 0 ? 6000 : 2500)}),
                       0.45);
            const std::string path = dir.write(d == 0 ? "a.mp3" : "b.mp3", encodeMp3(pcm));
            t.store.insert(analyseTrack(path, 1, makeMpg123Decoder).record);
            t.deck(d).requestLoad(path);
            awaitOpened(t.deck(d));
        }
        MixHost host(t.sound);
        host.shortMixOn = m.shortMix;
        DeckActions actions(host);
        AutoMixLogic mix(actions, host);
        t.play(1);
        t.deck(1).requestPlay();
        t.play(static_cast<int>(m.startAt * kRate / TestPlayback::kBlock));
        mix.start(0);
        double worst = 0.0;
        while (mix.running()) {
            t.play(kRate / 5 / TestPlayback::kBlock);
            mix.step();
            t.play(1);  // the step's requests taken up
            // Clicks come every half beat from the start of each track.
            const double halfBeats = trackSeconds(t.deck(0)) * m.bpm[0] / 30.0 -
                                     trackSeconds(t.deck(1)) * m.bpm[1] / 30.0;
            const double apart =
                (halfBeats - std::round(halfBeats)) * 30.0 / m.bpm[0] * 4096.0 / t.deck(0).pitch();
            worst = std::max(worst, std::abs(apart));
        }
        EXPECT_LT(worst, 0.005) << m.bpm[0] << " and " << m.bpm[1] << " BPM from " << m.startAt
                                << " s";
    }
}

}  // namespace
