// Playlist files and the track database, read and written without a window.
#include <gtest/gtest.h>

#include "FileSizeLimit.h"
#include "Mp3Fixtures.h"
#include "engine/library/PlaylistFile.h"
#include "engine/library/TrackDatabase.h"

namespace {

class PlaylistFileTest : public ::testing::Test {
  protected:
    std::vector<std::string> read(const std::string& name, const std::string& text) {
        return readPlaylistEntries(dir.write(name, text));
    }
    std::string here(const std::string& name) const { return (dir.path() / name).string(); }
    TempDir dir;
};

TEST_F(PlaylistFileTest, M3uWithAnyLineEndsAndComments) {
    const std::vector<std::string> expected = {here("a.mp3"), "/abs/b.mp3", here("sub/c.mp3")};
    for (const std::string ending : {"\n", "\r\n", "\r"}) {
        SCOPED_TRACE(ending.size());
        EXPECT_EQ(read("list.m3u", "#EXTM3U" + ending + "#EXTINF:123,A - B" + ending + "a.mp3" +
                                       ending + ending + "/abs/b.mp3" + ending + "sub\\c.mp3"),
                  expected);
    }
    // A URL with only a host is no entry: an empty one would be lost on the next save.
    EXPECT_EQ(read("bom.m3u",
                   "\xEF\xBB\xBF/x.mp3\nfile:///music/My%20Song.mp3\nfile://server\n"
                   "\u00c9t\u00e9/Ni\u00f1o.mp3\nfile:///Beyonc%C3%A9.mp3\n"),
              (std::vector<std::string>{"/x.mp3", "/music/My Song.mp3",
                                        here("\u00c9t\u00e9/Ni\u00f1o.mp3"), "/Beyonc\u00e9.mp3"}));
    EXPECT_TRUE(readPlaylistEntries(here("missing.m3u")).empty());
    EXPECT_TRUE(readPlaylistEntries(dir.path().string()).empty());
}

TEST_F(PlaylistFileTest, PlsTakesOnlyItsFileLines) {
    EXPECT_EQ(read("list.pls",
                   "[Playlist]\r\nfile1=/m/X - Y.mp3\r\nTitle1=Y\r\nFile3=file://server\r\n"
                   "File2=/m/Z.mp3\r\nNumberOfEntries=2\r\n"),
              (std::vector<std::string>{"/m/X - Y.mp3", "/m/Z.mp3"}));
}

// Names are UTF-8 bytes, written and read back unchanged.
TEST_F(PlaylistFileTest, SavedM3uHoldsTheLinesAndNothingElse) {
    const std::vector<std::string> names = {"/a.mp3",
                                            "/music/\u65e5\u672c/Beyonc\u00e9 \U0001F3B5.mp3"};
    const std::string path = here("out.m3u8");
    ASSERT_FALSE(writeM3u(path, names));
    EXPECT_EQ(fileText(path), names[0] + "\n" + names[1] + "\n");
    EXPECT_EQ(readPlaylistEntries(path), names);
    EXPECT_TRUE(writeM3u(here("no/such/folder.m3u"), {}));
}

TEST_F(PlaylistFileTest, FailedSaveLeavesTheOldPlaylist) {
    const std::string path = dir.write("out.m3u", std::string("/old.mp3\n"));
    {
        FileSizeLimit full(20);
        EXPECT_EQ(writeM3u(path, {"/music/a rather long name.mp3", "/b.mp3"}),
                  std::errc::file_too_large);
    }
    const std::vector<std::string> broken = {"/a.mp3", "/odd\nname.mp3", "/c.mp3"};
    EXPECT_EQ(entryWithLineBreak(broken), &broken[1]);
    EXPECT_EQ(writeM3u(path, broken), std::errc::invalid_argument);
    EXPECT_EQ(writeM3u(path, {"/odd\rname.mp3"}), std::errc::invalid_argument);
    EXPECT_EQ(fileText(path), "/old.mp3\n");
    EXPECT_EQ(dir.entries(), 1);  // no temporary file left behind
}

// What the search page finds: every word typed, in any order, with case and accents folded.
TEST(TrackDatabaseTest, WordsMatchInAnyOrderWithCaseAndAccentsFolded) {
    TempDir dir;
    TrackDatabase database;
    ASSERT_TRUE(database.load(dir.write("db.txt",
                                        "1=/m/Mango - Air.mp3\n"
                                        "2=/m/Air - Sexy Boy.mp3\n"
                                        "3=/m/Beyonc\xc3\xa9 - Halo.mp3\n"
                                        "4=/m/Beyonce\xcc\x81 - Halo.mp3\n")));
    const auto discsFound = [&](std::string_view typed) {
        std::vector<std::string> discs;
        for (std::string_view line : database.search(searchWords(typed))) {
            discs.push_back(databaseColumnText(line, 2));
        }
        return discs;
    };
    using Discs = std::vector<std::string>;
    EXPECT_EQ(discsFound("  MANGO\tair "), (Discs{"1"}));
    EXPECT_EQ(discsFound("air"), (Discs{"2", "1"}));
    EXPECT_EQ(discsFound("air mangos"), Discs{});
    // Precomposed and combining accents alike, typed with or without them.
    EXPECT_EQ(discsFound("beyonce"), (Discs{"4", "3"}));
    EXPECT_EQ(discsFound("BEYONC\xc3\x89 halo"), (Discs{"4", "3"}));
}

}  // namespace
