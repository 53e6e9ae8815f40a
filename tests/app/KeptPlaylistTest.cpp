// The playlist kept in the data folder from one run to the next.
#include <gtest/gtest.h>

#include "AppHarness.h"
#include "ListRows.h"
#include "ui/browser/Browser.h"
#include "ui/browser/BrowserModels.h"

namespace {

TEST(KeptPlaylistTest, PlaylistComesBackAfterARestart) {
    TempDir music;
    const std::string one = music.write("A - One.mp3", std::string("x"));
    const std::string set = music.write("set.m3u", one + "\n");
    const std::string gone = (music.path() / "Gone - Away.mp3").string();
    std::string kept;
    {
        AppHarness h;
        ASSERT_TRUE(h.started);
        Browser& browser = h.app->browser();
        for (const std::string& path : {one, set}) {
            browser.insertPlaylistItem(-1, browser.itemForFile(path));
        }
        browser.insertPlaylistItem(-1, BrowserItem{"Gone", "Away", gone, 0, 0});
        h.app->shutdown();
        EXPECT_TRUE(h.dialogs.asked.empty());
        kept = fileText(h.dir.path() / "playlist.m3u8");
    }
    EXPECT_EQ(kept, one + "\n" + set + "\n" + gone + "\n");

    AppHarness h([&kept](TempDir& dir) { dir.write("playlist.m3u8", kept); });
    ASSERT_TRUE(h.started);
    const ItemListModel& model = h.app->browser().playlistModel();
    ASSERT_EQ(pathsOf(model), (std::vector<std::string>{one, set, gone}));
    EXPECT_EQ(model.item(1).kind, BrowserItem::kPlaylistFile);
}

}  // namespace
