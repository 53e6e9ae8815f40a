// While the program runs, the tracks it has no record of are analysed before a deck needs them.
#include <gtest/gtest.h>

#include "AppHarness.h"
#include "core/SharedValue.h"
#include "platform/Mpg123Decoder.h"
#include "ui/browser/Browser.h"
#include "ui/browser/BrowserModels.h"
#include "ui/deck/TrackLoader.h"

namespace {

class BackgroundAnalysisTest : public ::testing::Test {
  protected:
    // Music after a silent intro, which a deck that knows nothing of the track starts in.
    std::string track(const std::string& name, double bpm) {
        return h.dir.write(name, encodeMp3(concat({silence(3.0), drums(bpm, 6.0)})));
    }

    AppHarness h{[](TempDir&) {}, makeMpg123Decoder, nullptr, true, std::chrono::seconds(3), true};
};

TEST_F(BackgroundAnalysisTest, PlaylistEntryWithoutARecordGetsOneAndShowsIt) {
    ASSERT_TRUE(h.started);
    const std::string path = track("Intro.mp3", 124);
    Browser& browser = h.app->browser();
    browser.insertPlaylistItem(-1, browser.itemForFile(path));
    ItemListModel& playlist = browser.playlistModel();
    ASSERT_EQ(playlist.item(0).kind, BrowserItem::kUnknown);

    ASSERT_TRUE(QTest::qWaitFor([&] { return playlist.item(0).bpm != 0.0f; }, 60000));
    EXPECT_NEAR(playlist.item(0).bpm, 124.0f, 0.3f);
    EXPECT_GT(playlist.item(0).kind, 0);
    EXPECT_EQ(playlist.image(0), 0);  // a track with a record
}

TEST_F(BackgroundAnalysisTest, WaitingDeckTakesItsTracksAnalysisAndMovesToTheMusic) {
    ASSERT_TRUE(h.started);
    h.app->engine().autoMixEnabled = 1;
    const std::string path = track("Waiting.mp3", 118);
    h.app->loader().loadTrack(0, h.app->browser().itemForFile(path));
    h.serve(40);  // nothing known at the load: the deck stands at the silent intro
    ASSERT_EQ(h.deck(0).record().startStrength, 0);
    ASSERT_EQ(h.deck(0).position(), 0.0f);

    // The record reaches the deck through its service step.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            h.serve(1);
            return loadShared(h.deck(0).record().bpm) != 0.0f;
        },
        60000));
    EXPECT_NEAR(h.deck(0).record().bpm, 118.0f, 0.3f);
    EXPECT_NEAR(h.deck(0).record().startPosition * 9.0f, 3.0f, 0.3f);
    h.serve(2);
    EXPECT_NEAR(h.deck(0).position() * 9.0f, 3.0f, 0.3f);
    EXPECT_FALSE(h.deck(0).playing());
}

}  // namespace
