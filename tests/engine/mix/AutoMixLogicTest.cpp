#include "engine/mix/AutoMixLogic.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <deque>
#include <string>
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
    bool returnUnplayableRow(int deck) override {
        returned.push_back(deck);
        return fromPlaylist;
    }
    void mixRunning(bool running) override { clock.push_back(running); }

    std::array<bool, 2> plays{true, false};
    std::array<bool, 2> loaded{true, true};
    std::array<bool, 2> byHand{true, true};
    std::array<bool, 2> onTheWay{false, false};
    std::array<int, 2> seconds{-1, -1};
    bool fromPlaylist = true;
    std::array<int, 2> volumes{256, 256};
    int selected = 0;
    bool shortMixOn = true;
    bool autoBpm = false;
    bool autoMix = false;
    int rowsLeft = 0;
    std::vector<int> started, stopped, loadsAsked, returned;
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

namespace {

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

    port.seconds = {25, 1};
    mix.mixInto(0);  // nor is a mix out of the short track begun
    EXPECT_FALSE(mix.running());
    port.plays = {false, false};
    port.volumes[0] = 0;
    mix.trackEnded(1);
    EXPECT_EQ(port.started, (std::vector<int>{1, 0}));
    EXPECT_EQ(port.volumes[0], 256);

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

TEST_F(AutoMixLogicTest, FailedPlaylistRowIsSkippedForTheNextOne) {
    port.autoMix = true;
    port.rowsLeft = 1;
    mix.loadFailed(1);
    EXPECT_EQ(port.returned, std::vector<int>{1});
    EXPECT_EQ(port.loadsAsked, std::vector<int>{1});

    port.fromPlaylist = false;  // a file dropped by hand: the deck is left to the DJ
    mix.loadFailed(0);
    EXPECT_EQ(port.loadsAsked, std::vector<int>{1});
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
    EXPECT_EQ(port.started, std::vector<int>{1});
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

// Decks, a playlist and a clock around the logic, as the program runs them: a deck passing 80 %
// asks for a mix into the other while that one is silent, an ended track is reported once, a file
// opens one tick after it is asked for (or fails to), and the mix steps every 200 ms.
class PlaylistRun : public AutoMixLogic::Port {
  public:
    struct Row {
        std::string name;
        int seconds;  // 0: a file that cannot be opened
    };
    static constexpr double kTick = 0.05;  // s

    explicit PlaylistRun(std::vector<Row> rows) : rows_(rows.begin(), rows.end()) {}

    // Plays until nothing plays and nothing is on its way; returns the longest silence (s)
    // between the first sound and the last.
    double run(AutoMixLogic& mix, double limit) {
        mix_ = &mix;
        loadNextFromPlaylist(0);
        loadNextFromPlaylist(1);
        deliverLoads();
        play(0);
        double silence = 0.0;
        double longest = 0.0;
        int ticks = 0;
        for (double now = 0.0; now < limit; now += kTick, ++ticks) {
            deliverLoads();
            if (running_ && ticks % 4 == 0) {
                mix.step();
            }
            for (int d = 0; d < 2; ++d) {
                Deck& deck = decks_[d];
                if (!deck.plays) {
                    continue;
                }
                deck.at += kTick;
                if (deck.at >= deck.seconds) {
                    deck.plays = false;
                    deck.ended = true;
                    mix.trackEnded(d);
                } else if (deck.at >= 0.8 * deck.seconds && !decks_[1 - d].plays) {
                    mix.mixInto(1 - d);
                }
            }
            const bool audible = (decks_[0].plays && decks_[0].volume > 0) ||
                                 (decks_[1].plays && decks_[1].volume > 0);
            silence = audible ? 0.0 : silence + kTick;
            if (!audible && !decks_[0].plays && !decks_[1].plays && pending_.empty() &&
                rows_.empty()) {
                return longest;
            }
            longest = std::max(longest, silence);
        }
        return 1e9;
    }

    bool playing(int deck) const override { return decks_[deck].plays; }
    bool playable(int deck) const override {
        return decks_[deck].opened && !decks_[deck].ended && !loading(deck);
    }
    bool loading(int deck) const override {
        return std::any_of(pending_.begin(), pending_.end(), [&](int d) { return d == deck; });
    }
    int trackSeconds(int deck) const override {
        return decks_[deck].opened ? decks_[deck].seconds : -1;
    }
    bool pitchFromUser(int) const override { return false; }
    void play(int deck) override {
        if (playable(deck) && !decks_[deck].plays) {
            decks_[deck].plays = true;
            if (decks_[deck].at == 0.0) {
                heard.push_back(decks_[deck].name);
            }
        }
    }
    void stop(int deck) override {
        decks_[deck].plays = false;
        decks_[deck].at = 0.0;
    }
    void setVolume(int deck, int volume) override { decks_[deck].volume = volume; }
    int currentDeck() const override { return 0; }
    bool shortMix() const override { return true; }
    bool autoBpmOn() const override { return true; }
    bool autoMixOn() const override { return true; }
    bool loadNextFromPlaylist(int deck) override {
        if (rows_.empty()) {
            return false;
        }
        mix_->stop();  // a load stops a running mix
        const Row row = rows_.front();
        rows_.pop_front();
        decks_[deck] = Deck{.name = row.name, .seconds = row.seconds};
        pending_.push_back(deck);
        return true;
    }
    bool returnUnplayableRow(int deck) override {
        unplayable.push_back(decks_[deck].name);
        return true;
    }
    void mixRunning(bool running) override { running_ = running; }

    std::vector<std::string> heard, unplayable;

  private:
    struct Deck {
        std::string name;
        int seconds = 0;
        bool opened = false;
        bool plays = false;
        bool ended = false;
        double at = 0.0;
        int volume = 256;
    };

    void deliverLoads() {
        std::vector<int> now;
        now.swap(pending_);
        for (int deck : now) {
            decks_[deck].opened = decks_[deck].seconds > 0;
            if (decks_[deck].opened) {
                mix_->trackLoaded(deck);
            } else {
                mix_->loadFailed(deck);
            }
        }
    }

    std::deque<Row> rows_;
    std::array<Deck, 2> decks_;
    std::vector<int> pending_;
    AutoMixLogic* mix_ = nullptr;
    bool running_ = false;
};

TEST(AutoMixPlaylistTest, PlaylistWithAShortTrackAndAnUnplayableFilePlaysThroughWithoutSilence) {
    FakeCommands commands;
    PlaylistRun run({{"A", 25}, {"B", 1}, {"C", 0}, {"D", 25}, {"E", 25}});
    AutoMixLogic mix(commands, run);
    EXPECT_LT(run.run(mix, 300.0), 0.2);
    EXPECT_EQ(run.heard, (std::vector<std::string>{"A", "B", "D", "E"}));
    EXPECT_EQ(run.unplayable, std::vector<std::string>{"C"});
}

TEST(AutoMixPlaylistTest, UnplayableFilesInARowAndAtTheEndAreAllPassedBy) {
    FakeCommands commands;
    PlaylistRun run({{"A", 30}, {"B", 0}, {"C", 0}, {"D", 2}, {"E", 30}, {"F", 0}});
    AutoMixLogic mix(commands, run);
    EXPECT_LT(run.run(mix, 300.0), 0.2);
    EXPECT_EQ(run.heard, (std::vector<std::string>{"A", "D", "E"}));
    EXPECT_EQ(run.unplayable, (std::vector<std::string>{"B", "C", "F"}));
}

}  // namespace
