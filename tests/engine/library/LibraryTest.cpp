// What the browser lists, read without a window: names, playlist files, the track database, the
// sorts and the folders.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "FileSizeLimit.h"
#include "Mp3Fixtures.h"
#include "engine/library/ArtistTitle.h"
#include "engine/library/FolderSource.h"
#include "engine/library/PlaylistFile.h"
#include "engine/library/Sorting.h"
#include "engine/library/TrackDatabase.h"
#include "engine/library/TrackItems.h"

namespace {

using Names = std::pair<std::string, std::string>;  // artist, title

Names shown(std::string_view fileName, const ArtistTitle& tags = {}) {
    ArtistTitle names = splitArtistTitle(fileName);
    nameFromTags(names, tags);
    return {names.artist, names.title};
}

// Tags name a track where they give a title or an artist; the file name does where they do not.
TEST(ArtistTitleTest, FileNamesAndTagsGiveArtistAndTitle) {
    EXPECT_EQ(shown("Some_Band - Some Song.mp3"), (Names{"Some Band", "Some Song"}));
    EXPECT_EQ(shown("(Some Band) Some Song.MP3"), (Names{"Some Band", "Some Song"}));
    EXPECT_EQ(shown("A - B - C.mp3"), (Names{"A", "B - C"}));
    EXPECT_EQ(shown("  (Unclosed Artist"), (Names{"Unclosed Artist", ""}));
    EXPECT_EQ(fileNameOf("C:\\Music\\x.mp3"), "x.mp3");
    // A title alone: the file name's artist is no more trusted than its title.
    EXPECT_EQ(shown("01 - Title.mp3", {"", "Real Title"}), (Names{"", "Real Title"}));
    EXPECT_EQ(shown("track01.mp3", {"Real Artist", ""}), (Names{"Real Artist", "track01"}));
}

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
    const std::vector<std::string> expected = {"/m/X - Y.mp3", "/m/Z.mp3"};
    EXPECT_EQ(read("first.pls",
                   "[playlist]\nNumberOfEntries=2\nFile1=/m/X - Y.mp3\nTitle1=Y\n"
                   "Length1=180\nfile2=/m/Z.mp3\nVersion=2\n"),
              expected);
    EXPECT_EQ(read("last.pls",
                   "[Playlist]\r\nFile1=/m/X - Y.mp3\r\nFile3=file://server\r\nFile2=/m/Z.mp3\r\n"
                   "NumberOfEntries=2\r\n"),
              expected);
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

using Discs = std::vector<std::string>;

class TrackDatabaseTest : public ::testing::Test {
  protected:
    bool load(const std::string& text) { return database.load(dir.write("db.txt", text)); }
    // The lines a search finds, as their disc names.
    Discs discsFound(std::string_view typed) const {
        Discs discs;
        for (std::string_view line : database.search(searchWords(typed))) {
            discs.push_back(databaseColumnText(line, 2));
        }
        return discs;
    }

    TempDir dir;
    TrackDatabase database;
};

TEST_F(TrackDatabaseTest, SearchAndColumns) {
    EXPECT_FALSE(database.load((dir.path() / "none.txt").string()));
    ASSERT_TRUE(
        load("CD 12=D:\\Songs\\Some Band - Some Song.mp3\r\n\r\nCD 3=/music/Other - Tune.mp3\n"
             "no equals here"));
    EXPECT_EQ(database.search({}),
              (std::vector<std::string_view>{"no equals here", "CD 3=/music/Other - Tune.mp3",
                                             "CD 12=D:\\Songs\\Some Band - Some Song.mp3"}));
    const std::string_view line = database.search(searchWords("cd 12"))[0];
    EXPECT_EQ(databaseColumnText(line, 0), "Some Song");
    EXPECT_EQ(databaseColumnText(line, 1), "Some Band");
    EXPECT_EQ(databaseColumnText(line, 2), "CD 12");
    EXPECT_EQ(databaseColumnText(line, 3), "D:\\Songs");
    EXPECT_EQ(databaseColumnText("no equals here", 2), "");

    EXPECT_EQ(databaseItem(line).path, "D:\\Songs\\Some Band - Some Song.mp3");
    EXPECT_EQ(databaseItem("no equals here").path, "no equals here");
}

TEST_F(TrackDatabaseTest, WordsMatchInAnyOrderWithCaseAndAccentsFolded) {
    ASSERT_TRUE(
        load("1=/m/Mango - Air.mp3\n"
             "2=/m/Air - Sexy Boy.mp3\n"
             "3=/m/Beyonc\xc3\xa9 - Halo.mp3\n"
             "4=/m/Beyonce\xcc\x81 - Halo.mp3\n"));
    EXPECT_EQ(discsFound("  MANGO\tair "), (Discs{"1"}));
    EXPECT_EQ(discsFound("air"), (Discs{"2", "1"}));
    EXPECT_EQ(discsFound("air mangos"), Discs{});
    // Precomposed and combining accents alike, typed with or without them.
    EXPECT_EQ(discsFound("beyonce"), (Discs{"4", "3"}));
    EXPECT_EQ(discsFound("BEYONC\xc3\x89 halo"), (Discs{"4", "3"}));
    // A single word is found anywhere in the line, '=' and folders too.
    EXPECT_EQ(discsFound("3=/m/beyonc"), (Discs{"3"}));
}

TEST(TrackDatabaseLineTest, LinesWrittenSplitWhereTheyShould) {
    EXPECT_EQ(databaseLine("CD 12", "/m/CD 12/A - B.mp3"), "CD 12=/m/CD 12/A - B.mp3");
    const std::string line = databaseLine("A=B\nC", "/m/A=B/x=y.mp3");
    EXPECT_EQ(line, "A-B C=/m/A=B/x=y.mp3");
    EXPECT_EQ(databaseColumnText(line, 2), "A-B C");
    EXPECT_EQ(databaseItem(line).path, "/m/A=B/x=y.mp3");
    EXPECT_EQ(databaseLine("CD", "/m/Caf\xe9.mp3"), "");  // would make the file read as cp1252
    EXPECT_EQ(databaseLine("CD", "/m/two\rlines.mp3"), "");
}

TEST_F(TrackDatabaseTest, FileNotInUtf8IsReadAsWindowsCodePage) {
    ASSERT_TRUE(load("CD=C:\\Beyonc\xe9 - Halo \x80.mp3\r\nCD2=C:\\Caf\xe9.mp3\r\n"));
    EXPECT_EQ(database.search(searchWords("beyonce")),
              (std::vector<std::string_view>{"CD=C:\\Beyonc\xc3\xa9 - Halo \xe2\x82\xac.mp3"}));
    EXPECT_EQ(database.search(searchWords("caf\xc3\xa9")).size(), 1u);

    // UTF-8 stays as it is, not read twice.
    ASSERT_TRUE(load("CD=/m/Caf\xc3\xa9.mp3\n"));
    EXPECT_EQ(database.search({}), (std::vector<std::string_view>{"CD=/m/Caf\xc3\xa9.mp3"}));
}

TEST(SortingTest, TextsAndBpmsCompareAsTheBrowserSortsThem) {
    EXPECT_LT(compareText("_x", "a"), 0);  // '_' before the letters
    EXPECT_EQ(compareText("ABC", "abc"), 0);
    BrowserItem a{"Artist", "alpha", "/a", 120.004f, 5};
    BrowserItem b{"artist", "Beta", "/b", 120.001f, 7};
    EXPECT_EQ(compareItems(a, b, 2), 0);  // less than 0.01 apart
    b.bpm = 130.0f;
    EXPECT_GT(compareItems(a, b, 2), 0);  // BPM descending
}

TEST(FolderSourceTest, PlayableFilesAndLinks) {
    TempDir dir;
    for (const char* name :
         {"A.mp3", "B.MP3", "C.wav", "D.pls", "E.M3U", "F.m3u8", ".hidden.mp3"}) {
        dir.write(name, std::string("x"));
    }
    const std::string target = dir.write("elsewhere/Real - Track.mp3", std::string("12345"));
    std::filesystem::create_directory(dir.path() / "Sub");
    std::filesystem::create_symlink(target, dir.path() / "Shortcut.mp3");
    std::filesystem::create_symlink(dir.path() / "Sub", dir.path() / "Folder link.mp3");
    std::filesystem::create_symlink(dir.path() / "gone.mp3", dir.path() / "Broken.mp3");

    auto files = playableFiles(dir.path().string());
    std::sort(files.begin(), files.end(),
              [](const PlayableFile& a, const PlayableFile& b) { return a.name < b.name; });
    ASSERT_EQ(files.size(), 6u);
    EXPECT_EQ(files[1].name, "B.MP3");
    EXPECT_EQ(files[4].size, PlayableFile::kPlaylistSize);  // F.m3u8
    EXPECT_EQ(files[5].name, "Shortcut.mp3");  // the link's own name, the target's path and size
    EXPECT_EQ(files[5].path, target);
    EXPECT_EQ(files[5].size, 5);
    EXPECT_TRUE(hasSubfolders(dir.path().string()));
    EXPECT_EQ(subfolders(dir.path().string()).front().name, "Folder link.mp3");
}

}  // namespace
