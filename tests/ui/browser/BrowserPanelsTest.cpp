// The browser's panels built alone on a bare window, with fake ports for the decks and the rest.
#include <gtest/gtest.h>

#include <QWidget>

#include "AppHarness.h"
#include "ListRows.h"
#include "engine/library/TrackRecords.h"
#include "ui/browser/AutoMixSwitches.h"
#include "ui/browser/BrowserControls.h"
#include "ui/browser/BrowserModels.h"
#include "ui/browser/CommandSink.h"
#include "ui/browser/PageSwitcher.h"
#include "ui/browser/PlaylistPanel.h"
#include "ui/browser/SaveFailures.h"
#include "ui/browser/TrackLoading.h"

namespace {

// Decks that take what they are given, an auto mix that is only a switch, no track records.
class FakePorts : public TrackLoading,
                  public AutoMixSwitches,
                  public PageSwitcher,
                  public SaveFailures,
                  public TrackRecords,
                  public CommandSink {
  public:
    int workingDeck() const override { return working; }
    bool deckIsFree(int deck) const override { return free[deck]; }
    void loadOntoDeck(int deck, const BrowserItem& item) override {
        loads.emplace_back(deck, item.title);
        free[deck] = false;
    }
    bool autoMixOn() const override { return autoMix; }
    void setAutoMix(bool on) override { autoMix = on; }
    void setAutoBpm(bool) override {}
    void mixNow() override {}
    bool mixing() const override { return false; }
    int page() const override { return 2; }
    void showPage(int) override {}
    void saveFailed(const QString& text) override { failures.push_back(text); }
    bool lookupTrack(std::string_view, int32_t, TrackInfoRecord& out) const override {
        out = TrackInfoRecord{};
        return false;
    }
    void sendCommand(int id, int code) override { commands.emplace_back(id, code); }

    int working = 0;
    std::array<bool, 2> free{true, true};
    bool autoMix = false;
    std::vector<std::pair<int, std::string>> loads;
    QStringList failures;
    std::vector<std::pair<int, int>> commands;
};

BrowserItem track(const std::string& title) {
    return BrowserItem{"", title, "/m/" + title + ".mp3", 0, 0};
}

class PlaylistPanelTest : public ::testing::Test {
  protected:
    PlaylistPanelTest() : panel({ports, ports, ports, dialogs, ports, ports, ports}) {
        panel.build(window, bands, nullptr);
    }

    FakePorts ports;
    FakeDialogs dialogs;
    QWidget window;
    QWidget bands{&window};
    PlaylistPanel panel;
};

// Only with the auto mix on does the next row go onto a deck; a playlist file fills both free
// decks and leaves the rest in place.
TEST_F(PlaylistPanelTest, NextRowsGoOntoTheFreeDecksOnlyWithTheAutoMixOn) {
    TempDir dir;
    for (const char* name : {"A - One.mp3", "B - Two.mp3", "C - Three.mp3"}) {
        dir.write(name, std::string("x"));
    }
    const std::string list = dir.write("set.m3u", "A - One.mp3\nB - Two.mp3\nC - Three.mp3\n");
    panel.insertPlaylistItem(-1, BrowserItem{"", "set.m3u", list, 0, BrowserItem::kPlaylistFile});
    panel.insertPlaylistItem(-1, track("Later"));
    EXPECT_FALSE(panel.loadNextFromPlaylist(0));
    EXPECT_TRUE(ports.loads.empty());

    ports.autoMix = true;
    ASSERT_TRUE(panel.loadNextFromPlaylist(0));
    EXPECT_EQ(ports.loads, (std::vector<std::pair<int, std::string>>{{0, "One"}, {1, "Two"}}));
    EXPECT_EQ(titlesOf(panel.playlistModel()), (std::vector<std::string>{"Three", "Later"}));
}

// An entry whose file is gone is marked, and the auto mix passes it by.
TEST_F(PlaylistPanelTest, MissingEntriesOfAPlaylistFileAreMarked) {
    TempDir dir;
    dir.write("A - One.mp3", std::string("x"));
    const std::string list = dir.write("set.m3u8", "Gone - Away.mp3\nA - One.mp3\n");
    ports.free = {false, false};
    panel.activate(BrowserItem{"", "set", list, 0, BrowserItem::kPlaylistFile});
    const ItemListModel& model = panel.playlistModel();
    ASSERT_EQ(titlesOf(model), (std::vector<std::string>{"Away", "One"}));
    EXPECT_TRUE(model.unplayable(0));
    EXPECT_FALSE(model.unplayable(1));

    ports.autoMix = true;
    ports.free = {true, false};
    ASSERT_TRUE(panel.loadNextFromPlaylist(0));
    EXPECT_EQ(ports.loads, (std::vector<std::pair<int, std::string>>{{0, "One"}}));
    ports.free = {true, false};
    EXPECT_FALSE(panel.loadNextFromPlaylist(0));
    EXPECT_EQ(titlesOf(model), std::vector<std::string>{"Away"});
}

}  // namespace
