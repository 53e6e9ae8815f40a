#include "engine/mix/AutoMixLogic.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "engine/mix/DeckCommands.h"

namespace {

struct FakeCommands : DeckCommands {
    void setPitch(int, int) override {}
    bool syncTempo(int deck) override {
        synced.push_back(deck);
        return true;
    }
    void alignBeat(int deck) override { aligned.push_back(deck); }
    void alignBeatFine(int deck) override { alignedFine.push_back(deck); }
    void skipBeat(int) override {}
    void selectDeck(int deck) override { selected.push_back(deck); }
    void showBrowserPage(int) override {}
    void stopAutoMix() override {}
    void setVolumes(int, int) override {}

    std::vector<int> synced, aligned, alignedFine, selected;
};

struct FakePort : AutoMixLogic::Port {
    bool playing(int deck) const override { return plays[deck]; }
    bool playable(int deck) const override { return loaded[deck]; }
    bool loading(int deck) const override { return onTheWay[deck]; }
    int trackSeconds(int deck) const override { return seconds[deck]; }
    bool pitchFromUser(int deck) const override { return byHand[deck]; }
    void play(int deck) override {
        plays[deck] = true;
        started.push_back(deck);
    }
    void stop(int deck) override {
        plays[deck] = false;
        stopped.push_back(deck);
    }
    void setVolume(int deck, int volume) override { volumes[deck] = volume; }
    int currentDeck() const override { return selected; }
    bool shortMix() const override { return shortMixOn; }
    bool autoBpmOn() const override { return autoBpm; }
    bool autoMixOn() const override { return autoMix; }
    bool loadNextFromPlaylist(int deck) override {
        loadsAsked.push_back(deck);
        return rowsLeft-- > 0;
    }
    bool returnUnplayableRow(int) override { return true; }
    void mixRunning(bool running) override { clock.push_back(running); }

    std::array<bool, 2> plays{true, false};
    std::array<bool, 2> loaded{true, true};
    std::array<bool, 2> byHand{true, true};
    std::array<bool, 2> onTheWay{false, false};
    std::array<int, 2> seconds{-1, -1};
    std::array<int, 2> volumes{256, 256};
    int selected = 0;
    bool shortMixOn = true;
    bool autoBpm = false;
    bool autoMix = false;
    int rowsLeft = 0;
    std::vector<int> started, stopped, loadsAsked;
    std::vector<bool> clock;
};

class AutoMixLogicTest : public ::testing::Test {
  protected:
    void steps(int count) {
        for (int i = 0; i < count; ++i) {
            mix.step();
        }
    }

    FakeCommands commands;
    FakePort port;
    AutoMixLogic mix{commands, port};
};

TEST_F(AutoMixLogicTest, ShortMixFadesInThenOutAndEndsWithTheOutgoingDeckSilent) {
    port.autoMix = true;
    port.rowsLeft = 1;
    mix.start(1);
    EXPECT_EQ(port.volumes, (std::array<int, 2>{256, 0}));  // the incoming deck starts silent
    EXPECT_EQ(port.started, std::vector<int>{1});
    steps(16);
    EXPECT_EQ(port.volumes, (std::array<int, 2>{256, 256}));
    EXPECT_EQ(commands.selected, std::vector<int>{0});  // the deck to fade out takes the selection
    // The beat is aligned on the incoming deck, then kept on the outgoing one.
    EXPECT_EQ(commands.aligned, std::vector<int>{1});
    EXPECT_EQ(commands.alignedFine, std::vector<int>(15, 1));
    steps(16);  // straight on to the fade-out
    EXPECT_EQ(commands.alignedFine.back(), 0);
    mix.step();  // the 33rd step: the end
    EXPECT_EQ(port.volumes, (std::array<int, 2>{0, 256}));
    EXPECT_FALSE(mix.running());
    EXPECT_EQ(port.clock, (std::vector<bool>{true, false}));
    EXPECT_EQ(port.loadsAsked, std::vector<int>{0});
    EXPECT_TRUE(port.stopped.empty());  // a row was loaded: the deck is left to it
}

TEST_F(AutoMixLogicTest, EmptyPlaylistAtTheEndStopsTheSilentDeck) {
    port.autoMix = true;
    mix.start(1);
    steps(33);
    EXPECT_EQ(port.loadsAsked, std::vector<int>{0});
    EXPECT_EQ(port.stopped, std::vector<int>{0});
}

TEST(AutoMixTempoTest, TempoIsMatchedOnlyForAPitchSetByHandWithAutoBpmOn) {
    struct Case {
        bool autoBpm, incomingByHand, synced;
    };
    for (const Case& c :
         {Case{true, true, true}, Case{true, false, false}, Case{false, true, false}}) {
        FakeCommands commands;
        FakePort port;
        port.autoBpm = c.autoBpm;
        port.byHand[1] = c.incomingByHand;
        AutoMixLogic mix(commands, port);
        mix.start(1);
        EXPECT_TRUE(mix.running());
        EXPECT_EQ(commands.synced, c.synced ? std::vector<int>{1} : std::vector<int>{});
    }
}

TEST_F(AutoMixLogicTest, StartNeedsThisDeckSilentAndLoadedAndTheOtherPlaying) {
    for (const auto& [plays, loaded] : {std::pair{std::array{false, false}, std::array{true, true}},
                                        {std::array{true, true}, std::array{true, true}},
                                        {std::array{true, false}, std::array{true, false}}}) {
        port.plays = plays;
        port.loaded = loaded;
        mix.start(1);
        EXPECT_FALSE(mix.running());
    }
    EXPECT_TRUE(port.started.empty());
    EXPECT_EQ(port.volumes, (std::array<int, 2>{256, 256}));
}

TEST_F(AutoMixLogicTest, MixNowDuringAMixStopsItWhereItStands) {
    mix.start(1);
    steps(3);
    mix.mixNow();
    EXPECT_FALSE(mix.running());
    EXPECT_EQ(port.clock, (std::vector<bool>{true, false}));
    steps(20);
    EXPECT_EQ(port.volumes, (std::array<int, 2>{256, 48}));
    EXPECT_EQ(port.started, std::vector<int>{1});  // stopping starts nothing
}

TEST_F(AutoMixLogicTest, MixNowStartsPlaybackOrAMixFromTheDecksState) {
    port.plays = {false, false};
    mix.mixNow();  // neither plays: the deck not selected starts
    EXPECT_EQ(port.started, std::vector<int>{1});
    EXPECT_FALSE(mix.running());

    port.plays = {false, false};
    port.loaded = {true, false};
    mix.mixNow();  // ... or the selected one when the other is empty
    EXPECT_EQ(port.started.back(), 0);

    port.plays = {false, true};
    port.loaded = {true, true};
    mix.mixNow();  // only the other plays: a mix into the selected deck
    EXPECT_TRUE(mix.running());
    EXPECT_EQ(mix.target(), 0);
}

// A track too short to mix with: shorter than the 6.4 s of a short mix.
TEST_F(AutoMixLogicTest, ShortTrackIsPlayedWholeAndTheNextStartsAtItsEnd) {
    port.autoMix = true;
    port.rowsLeft = 5;
    port.seconds = {25, 1};
    mix.mixInto(1);  // the long track passes its mix point: the short one is not mixed into
    EXPECT_FALSE(mix.running());
    EXPECT_TRUE(port.started.empty());

    port.plays = {false, false};
    mix.trackEnded(0);  // ... but starts, at full volume, when the long one ends
    EXPECT_EQ(port.started, std::vector<int>{1});
    EXPECT_EQ(port.volumes[1], 256);
    EXPECT_EQ(port.loadsAsked, std::vector<int>{0});

    port.plays = {true, false};
    port.seconds = {25, 7};  // long enough for a short mix, not for a long one
    mix.mixInto(1);
    EXPECT_TRUE(mix.running());
    mix.stop();
    port.shortMixOn = false;
    port.plays = {true, false};
    mix.mixInto(1);
    EXPECT_FALSE(mix.running());
}

TEST_F(AutoMixLogicTest, TrackEndingDuringTheMixEndsItWithTheOtherAtFullVolume) {
    port.autoMix = true;
    port.rowsLeft = 1;
    mix.start(1);
    steps(10);
    mix.trackEnded(0);  // the outgoing track runs out before its fade does
    EXPECT_FALSE(mix.running());
    EXPECT_EQ(port.clock, (std::vector<bool>{true, false}));
    EXPECT_EQ(port.volumes[1], 256);
    EXPECT_EQ(port.loadsAsked, std::vector<int>{0});
    EXPECT_EQ(port.started, std::vector<int>{1});  // the incoming deck plays on, nothing else
    steps(30);
    EXPECT_EQ(port.loadsAsked.size(), 1u);  // the abandoned mix loads nothing more
}

TEST_F(AutoMixLogicTest, DeckStillLoadingStartsOnceItsFileIsIn) {
    port.autoMix = true;
    port.rowsLeft = 5;
    port.plays = {false, false};
    port.loaded = {false, false};
    port.onTheWay = {false, true};
    mix.trackEnded(0);
    EXPECT_TRUE(port.started.empty());
    mix.loadFailed(1);  // the row on its way cannot be opened: the next one is waited for
    mix.trackLoaded(0);
    EXPECT_TRUE(port.started.empty());
    port.onTheWay = {false, false};
    port.loaded = {false, true};
    mix.trackLoaded(1);
    mix.trackLoaded(1);  // started once
    EXPECT_EQ(port.started, std::vector<int>{1});
}

TEST_F(AutoMixLogicTest, DeckWithNothingLeftHandsTheSetToTheOther) {
    port.autoMix = true;
    port.rowsLeft = 1;
    port.plays = {false, false};
    port.loaded = {false, false};
    port.volumes = {0, 0};
    mix.trackEnded(0);  // the other deck is empty: the ended one takes the next row and starts
    EXPECT_EQ(port.loadsAsked, std::vector<int>{0});
    EXPECT_EQ(port.started, std::vector<int>{0});
    EXPECT_EQ(port.volumes[0], 256);

    mix.trackEnded(0);  // and with no row left, the set is over
    EXPECT_EQ(port.loadsAsked, (std::vector<int>{0, 0}));
    EXPECT_EQ(port.started, std::vector<int>{0});
}

}  // namespace
