// Tracks named by their tags in the lists and on the decks, once the tags have been read.
#include <gtest/gtest.h>

#include "AppHarness.h"
#include "Id3Tags.h"
#include "ListRows.h"
#include "ui/browser/Browser.h"
#include "ui/browser/BrowserModels.h"
#include "ui/browser/ListView.h"

namespace {

std::vector<uint8_t> audio() {
    static const std::vector<uint8_t> bytes = encodeMp3(tone(440, 0.3));
    return bytes;
}

std::vector<uint8_t> withTags(const std::vector<uint8_t>& front, const std::vector<uint8_t>& back) {
    const std::vector<uint8_t> bytes = inserted(audio(), 0, front);
    return inserted(bytes, bytes.size(), back);
}

class TagsTest : public ::testing::Test {
  protected:
    TagsTest()
        : h([](TempDir& dir) {
              dir.write("music/track01.mp3",
                        withTags(id3v2Tag(3, Id3Text::kLatin1, "Real Title", "Real Artist"), {}));
              dir.write("music/01 - Title.mp3", withTags({}, id3v1Tag("Yesterday", "Old Band")));
              dir.write("music/Band - Untagged.mp3", audio());
              dir.write("music/sub/other.mp3",
                        withTags(id3v2Tag(4, Id3Text::kUtf8, "Other Title", "Other Artist"), {}));
              dir.write("mp3DataBase.txt",
                        "CD 1=" + (dir.path() / "music/sub/other.mp3").string() +
                            "\nCD 2=" + (dir.path() / "music/Band - Untagged.mp3").string() + "\n");
              dir.write("spinora.ini", "[General]\nInitial folder=@ByteArray(" +
                                           (dir.path() / "music").string() + ")\n");
          }),
          browser(h.app->browser()),
          files(browser.fileListModel()) {}
    void SetUp() override { ASSERT_TRUE(h.started); }

    std::string path(const std::string& name) const {
        return (h.dir.path() / "music" / name).string();
    }
    int rowOf(const std::string& name) const {
        const std::vector<std::string> paths = pathsOf(files);
        return static_cast<int>(std::find(paths.begin(), paths.end(), path(name)) - paths.begin());
    }
    QString shown(int row, int column) const {
        return files.data(files.index(row, column), Qt::DisplayRole).toString();
    }
    bool folderNamed() const {
        return shown(rowOf("track01.mp3"), 0) == "Real Title" &&
               shown(rowOf("01 - Title.mp3"), 0) == "Yesterday";
    }

    AppHarness h;
    Browser& browser;
    ItemListModel& files;
};

TEST_F(TagsTest, FolderRowsShowTheTagsOnceTheyArriveAndFileNamesWithout) {
    ASSERT_EQ(files.size(), 3);
    ASSERT_TRUE(QTest::qWaitFor([&] { return folderNamed(); }, 10000));
    EXPECT_EQ(shown(rowOf("track01.mp3"), 1), "Real Artist");
    EXPECT_EQ(shown(rowOf("01 - Title.mp3"), 1), "Old Band");
    EXPECT_EQ(shown(rowOf("Band - Untagged.mp3"), 0), "Untagged");
    EXPECT_EQ(shown(rowOf("Band - Untagged.mp3"), 1), "Band");
    // Listed by file name ("Title", "track01", "Untagged"), the rows take the tags' title order.
    EXPECT_EQ(rowOf("track01.mp3"), 0);
    EXPECT_EQ(rowOf("01 - Title.mp3"), 2);
}

TEST_F(TagsTest, DeckAndPlaylistShowTheTags) {
    ASSERT_TRUE(QTest::qWaitFor([&] { return folderNamed(); }, 10000));
    const std::string tagged = h.dir.write(
        "dropped.mp3", withTags(id3v2Tag(4, Id3Text::kUtf8, "Dropped Ünïcode", "Zoë"), {}));

    // A file from the desktop comes named by its file name, then by its tags, in a playlist row
    // added before they were read and on a deck.
    ItemListModel& playlist = browser.playlistModel();
    browser.insertPlaylistItem(-1, browser.itemForFile(tagged));
    ASSERT_EQ(playlist.item(0).title, "dropped");
    h.app->loader().loadTrack(0, browser.itemForFile(tagged));
    const BrowserItem* onDeck = h.app->loader().loadedItem(0);
    ASSERT_NE(onDeck, nullptr);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return onDeck->title == "Dropped Ünïcode" && playlist.item(0).title == onDeck->title;
        },
        10000));
    EXPECT_EQ(onDeck->artist, "Zoë");
    EXPECT_EQ(playlist.item(0).artist, "Zoë");

    // Tags already read name a track at once, on a deck and in the playlist.
    h.app->loader().loadTrack(1, browser.itemForFile(path("01 - Title.mp3")));
    EXPECT_EQ(h.loaded(1), "Yesterday");
    browser.insertPlaylistItem(-1, browser.itemForFile(path("track01.mp3")));
    EXPECT_EQ(playlist.item(1).title, "Real Title");
    EXPECT_EQ(playlist.item(1).artist, "Real Artist");
}

TEST_F(TagsTest, SearchResultsInSightAreNamedByTheirTags) {
    h.app->controls().showBrowserPage(Browser::kDatabasePage);
    DatabaseModel& results = browser.searchModel();
    ASSERT_EQ(results.rowCount(), 2);
    ListView& view = browser.searchView();
    view.resize(700, 200);
    view.grab();  // painted as a user sees it: that asks for the rows' tags
    const int tagged = results.columnText(0, 2) == "CD 1" ? 0 : 1;
    const auto named = [&] { return results.columnText(tagged, 0) == "Other Title"; };
    ASSERT_TRUE(QTest::qWaitFor(named, 10000));
    EXPECT_EQ(results.columnText(tagged, 1), "Other Artist");
    EXPECT_EQ(results.columnText(1 - tagged, 0), "Untagged");
    EXPECT_EQ(results.columnText(1 - tagged, 1), "Band");
}

}  // namespace
