// An automatic mix between two decks, heard on the card: the deck actions, the mix's steps and the
// decks together, with the test as the mix's clock and the card's.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

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
    bool shortMix() const override { return true; }
    bool autoBpmOn() const override { return true; }
    bool autoMixOn() const override { return false; }
    bool loadNextFromPlaylist(int) override { return false; }
    bool returnUnplayableRow(int) override { return false; }
    void mixRunning(bool) override {}

  private:
    SoundSystem& sound_;
};

// Each track holds a sustained tone, under beat clicks quiet enough that the tone's own steps
// count. The mix moves the incoming deck by whole beat slots at its steps; the card must never
// step further from one sample to the next than the two tracks together can.
TEST(AutoMixSoundTest, ShortMixOverSustainedTonesMakesNoWaveformJump) {
    TempDir dir;
    const Pcm tracks[2] = {
        mixed({tone(300, 14.0, kRate, 2, 6000), scaled(clicks(124, 14.0), 0.25)}),
        mixed({tone(700, 14.0, kRate, 2, 6000), scaled(clicks(128, 14.0), 0.25)}),
    };
    TestSoundSystem t({}, makeMpg123Decoder);
    ASSERT_EQ(t.openError, nullptr);
    t.engine.autoBpmEnabled = 1;
    std::string paths[2];
    int ownSteps = 0;
    for (int d = 0; d < 2; ++d) {
        paths[d] = dir.write(d == 0 ? "first.mp3" : "second.mp3", encodeMp3(tracks[d]));
        const TrackAnalysis analysis = analyseTrack(paths[d], 1, makeMpg123Decoder);
        ASSERT_EQ(analysis.status, kDeckNormal);
        t.store.insert(analysis.record);
        ownSteps += largestStep(tracks[d].samples, 0, tracks[d].frames());
        t.deck(d).requestLoad(paths[d]);
        awaitOpened(t.deck(d));
    }
    t.play(1);
    Deck& deck0 = t.deck(0);
    Deck& deck1 = t.deck(1);
    ASSERT_TRUE(deck0.isPlayable() && deck1.isPlayable());

    MixHost host(t.sound);
    DeckActions actions(host);
    AutoMixLogic mix(actions, host);
    TestPlayback& card = *t.backend.streams[0];
    long frames = 0;  // played by the card
    const auto playUntil = [&](long frame) {
        for (; frames < frame; frames += TestPlayback::kBlock) {
            t.play(1);
        }
    };
    deck0.requestPlay();
    playUntil(3 * kRate);
    const std::size_t mixFrom = card.played.size() / 2;
    mix.start(1);
    ASSERT_TRUE(mix.running());
    for (long step = 1; mix.running(); ++step) {
        playUntil(3 * kRate + step * kRate / 5);
        mix.step();
    }
    playUntil(frames + kRate);
    const std::size_t mixTo = card.played.size() / 2;

    // A tenth more than the tracks' own for what their coding adds.
    EXPECT_LE(largestStep(card.played, mixFrom, mixTo), ownSteps * 11 / 10);
    EXPECT_NE(deck1.pitch(), Deck::kUnityPitch) << "the incoming deck took the other's tempo";
}

}  // namespace
