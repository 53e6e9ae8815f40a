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
    void mixRunning(bool running) override { clock.push_back(running); }

    std::array<bool, 2> plays{true, false};
    std::array<bool, 2> loaded{true, true};
    std::array<bool, 2> byHand{true, true};
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
    EXPECT_EQ(port.clock, std::vector<bool>{true});
    for (int i = 1; i <= 16; ++i) {
        mix.step();
        EXPECT_EQ(port.volumes, (std::array<int, 2>{256, 16 * i})) << "fade-in step " << i;
    }
    EXPECT_EQ(commands.selected, std::vector<int>{0});  // the deck to fade out takes the selection
    for (int i = 1; i <= 15; ++i) {
        mix.step();
        EXPECT_EQ(port.volumes, (std::array<int, 2>{256 - 16 * (i - 1), 256})) << "fade-out " << i;
        EXPECT_TRUE(mix.running());
    }
    EXPECT_TRUE(port.loadsAsked.empty());
    mix.step();
    EXPECT_EQ(port.volumes, (std::array<int, 2>{16, 256}));
    mix.step();  // the 33rd step: the end
    EXPECT_EQ(port.volumes, (std::array<int, 2>{0, 256}));
    EXPECT_FALSE(mix.running());
    EXPECT_EQ(port.clock, (std::vector<bool>{true, false}));
    EXPECT_EQ(port.loadsAsked, std::vector<int>{0});
    EXPECT_TRUE(port.stopped.empty());  // a row was loaded: the deck is left to it

    steps(5);  // ticks left over once the clock stops change nothing
    EXPECT_EQ(port.volumes, (std::array<int, 2>{0, 256}));
    EXPECT_EQ(port.loadsAsked.size(), 1u);
}

TEST_F(AutoMixLogicTest, LongMixHoldsBothDecksFullBetweenTheFades) {
    port.shortMixOn = false;
    mix.start(1);
    steps(47);
    EXPECT_EQ(port.volumes, (std::array<int, 2>{256, 256}));
    EXPECT_TRUE(mix.running());
    steps(16);
    EXPECT_EQ(port.volumes[0], 16);
    EXPECT_TRUE(mix.running());
    mix.step();
    EXPECT_EQ(port.volumes[0], 0);
    EXPECT_FALSE(mix.running());
    EXPECT_TRUE(port.loadsAsked.empty());  // "Auto Mix" off: nothing is loaded or stopped
    EXPECT_TRUE(port.stopped.empty());
}

TEST_F(AutoMixLogicTest, EmptyPlaylistAtTheEndStopsTheSilentDeck) {
    port.autoMix = true;
    mix.start(1);
    steps(33);
    EXPECT_EQ(port.loadsAsked, std::vector<int>{0});
    EXPECT_EQ(port.stopped, std::vector<int>{0});
}

TEST_F(AutoMixLogicTest, BeatIsAlignedOnTheIncomingDeckThenKeptOnTheOutgoingOne) {
    port.plays = {false, true};
    mix.start(0);
    mix.step();
    EXPECT_EQ(commands.aligned, std::vector<int>{0});
    EXPECT_TRUE(commands.alignedFine.empty());
    steps(15);
    EXPECT_EQ(commands.alignedFine, std::vector<int>(15, 0));
    mix.step();
    EXPECT_EQ(commands.alignedFine.back(), 1);
    EXPECT_EQ(commands.selected, std::vector<int>{1});
}

TEST_F(AutoMixLogicTest, TempoIsMatchedOnlyForAPitchSetByHandWithAutoBpmOn) {
    port.autoBpm = true;
    mix.start(1);
    EXPECT_EQ(commands.synced, std::vector<int>{1});

    FakeCommands matched;
    FakePort port2;
    port2.autoBpm = true;
    port2.byHand = {true, false};
    AutoMixLogic keeps(matched, port2);
    keeps.start(1);
    EXPECT_TRUE(keeps.running());
    EXPECT_TRUE(matched.synced.empty());

    FakeCommands off;
    FakePort port3;
    AutoMixLogic noBpm(off, port3);
    noBpm.start(1);
    EXPECT_TRUE(off.synced.empty());
}

TEST_F(AutoMixLogicTest, StartNeedsThisDeckSilentAndLoadedAndTheOtherPlaying) {
    port.plays = {false, false};
    mix.start(1);
    EXPECT_FALSE(mix.running());
    port.plays = {true, true};
    mix.start(1);
    EXPECT_FALSE(mix.running());
    port.plays = {true, false};
    port.loaded = {true, false};
    mix.start(1);
    EXPECT_FALSE(mix.running());
    EXPECT_TRUE(port.started.empty());
    EXPECT_EQ(port.volumes, (std::array<int, 2>{256, 256}));
    EXPECT_TRUE(port.clock.empty());
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

    port.plays = {true, true};
    port.started.clear();
    mix.mixNow();  // both play: nothing
    EXPECT_TRUE(port.started.empty());
    EXPECT_FALSE(mix.running());

    port.plays = {false, true};
    port.loaded = {true, true};
    mix.mixNow();  // only the other plays: a mix into the selected deck
    EXPECT_TRUE(mix.running());
    EXPECT_EQ(mix.target(), 0);
}

}  // namespace
