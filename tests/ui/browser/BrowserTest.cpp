// The browser in the window: the file list, the folder tree, the search.
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLineEdit>
#include <QSettings>
#include <QTest>
#include <QTreeWidget>

#include "AppHarness.h"
#include "ListRows.h"
#include "ui/browser/Browser.h"
#include "ui/browser/BrowserModels.h"
#include "ui/browser/ListView.h"
#include "ui/deck/TrackLoader.h"

namespace {

std::string folderSettings(const std::filesystem::path& folder) {
    return "[General]\nInitial folder=@ByteArray(" + folder.string() + ")\n";
}

class BrowserTest : public ::testing::Test {
  protected:
    BrowserTest()
        : h([](TempDir& dir) {
              for (const char* name : {"A.mp3", "B.MP3", "C.wav", "D.pls", "E.M3U"}) {
                  dir.write(std::string("music/") + name, std::string("x"));
              }
              std::filesystem::create_symlink(
                  dir.write("other/Band - Linked.mp3", std::string("xy")),
                  dir.path() / "music" / "Link.mp3");
              dir.write("mp3DataBase.txt",
                        std::string("CD 12=D:\\Songs\\Some Band - Some Song.mp3\n"
                                    "CD 3=D:\\x\\Other - Tune.mp3\n"
                                    "CD 12=D:\\Songs\\Third - One.mp3\n"));
              dir.write("spinora.ini", folderSettings(dir.path() / "music"));
          }),
          browser(h.app->browser()) {}

    AppHarness h;
    Browser& browser;
};

// A click on a header section as the user makes it, through the header's own handling.
void clickHeader(ListView& view, int column) {
    QHeaderView& header = *view.header();
    QTest::mouseClick(header.viewport(), Qt::LeftButton, {},
                      QPoint(header.sectionViewportPosition(column) + 4, header.height() / 2));
}

TEST_F(BrowserTest, FolderListsTracksByNameAndAResortKeepsTheChosenOne) {
    ItemListModel& files = browser.fileListModel();
    using T = std::vector<std::string>;
    EXPECT_EQ(titlesOf(files), (T{"A", "B", "D.pls", "E.M3U", "Link"}));
    EXPECT_EQ(files.item(2).kind, BrowserItem::kPlaylistFile);

    h.app->controls().showBrowserPage(Browser::kFilesPage);
    ListView& view = browser.fileListView();
    view.setCurrentIndex(files.index(1, 0));
    clickHeader(view, 0);  // the same column again: Z to A
    EXPECT_EQ(titlesOf(files), (T{"Link", "E.M3U", "D.pls", "B", "A"}));
    // The chosen track stays chosen, wherever the sort put it.
    EXPECT_EQ(view.currentIndex().row(), 3);
    EXPECT_EQ(view.selectionModel()->selectedRows(), QModelIndexList{files.index(3, 0)});
}

TEST(BrowserBytesTest, FolderAndTrackNamedInOtherBytesListAndLoad) {
    const std::string folder = "Caf\xE9";  // Latin-1, not UTF-8
    const std::string file = "Band - Tun\xE9.mp3";
    const auto log = std::make_shared<FakeDecoderLog>();
    AppHarness h(
        [&](TempDir& dir) {
            dir.write("music/" + folder + "/" + file, std::string("x"));
            dir.write("spinora.ini", folderSettings(dir.path() / "music"));
        },
        [log] { return std::make_unique<FakeDecoder>(FakeTrack{.frames = 1225}, log); });
    ASSERT_TRUE(h.started);
    QTreeWidget& tree = h.app->browser().folderTree();
    QTreeWidgetItem* top = tree.topLevelItem(0);
    ASSERT_EQ(top->childCount(), 1);
    QTreeWidgetItem* shown = top->child(0);
    EXPECT_TRUE(shown->text(0).startsWith("Caf"));
    EXPECT_TRUE(shown->text(0).contains(QChar::ReplacementCharacter));

    tree.setCurrentItem(shown);
    ItemListModel& files = h.app->browser().fileListModel();
    ASSERT_EQ(files.size(), 1);
    const std::string real = (h.dir.path() / "music" / folder / file).string();
    EXPECT_EQ(files.item(0).path, real);
    EXPECT_TRUE(files.data(files.index(0, 0), Qt::DisplayRole).toString().startsWith("Tun"));

    h.app->loader().loadTrack(0, files.item(0));
    h.serve(3);
    EXPECT_EQ(log->inputs, std::vector<std::string>{real});
    EXPECT_TRUE(h.deck(0).isPlayable());
}

TEST_F(BrowserTest, DesktopShownIsNeverWrittenAsTheTopFolder) {
    QTreeWidget& tree = browser.folderTree();
    ASSERT_EQ(tree.topLevelItem(0)->text(0), "music");
    h.dispatch(msg::kCommand, Browser::kDesktopButton);
    EXPECT_EQ(tree.topLevelItem(0)->text(0), "Desktop");
    EXPECT_TRUE(browser.rootFolder().empty());
    h.app->shutdown();  // the desktop is never written: the file keeps the folder
    QSettings written(QString::fromStdString((h.dir.path() / "spinora.ini").string()),
                      QSettings::IniFormat);
    EXPECT_EQ(written.value("Initial folder").toByteArray().toStdString(),
              (h.dir.path() / "music").string());
}

TEST_F(BrowserTest, MixNowOnlyOnTheAutoMixPage) {
    h.deck(1).requestLoad("/music/Track.mp3");
    h.serve(2);
    h.app->controls().showBrowserPage(Browser::kFilesPage);
    h.dispatch(msg::kCommand, Browser::kMixNowButton);
    h.serve(1);
    EXPECT_FALSE(h.deck(1).playing());
    h.app->controls().showBrowserPage(Browser::kAutoMixPage);
    h.dispatch(msg::kCommand, Browser::kMixNowButton);
    h.serve(1);
    EXPECT_TRUE(h.deck(1).playing());  // nothing plays: the other deck starts
}

TEST_F(BrowserTest, DoubleClickedSearchResultGoesOntoAFreeDeck) {
    h.app->controls().showBrowserPage(Browser::kDatabasePage);
    browser.searchBox().setText("tune other");
    h.press(Qt::Key_Return);
    ASSERT_EQ(browser.matchCountText(), "1 matches");
    ListView& results = browser.searchView();
    const QRect row = results.visualRect(results.model()->index(0, 0));
    // As a person double-clicks: a click, then the second press that Qt turns into the double one.
    QTest::mouseClick(results.viewport(), Qt::LeftButton, {}, row.center());
    QTest::mouseDClick(results.viewport(), Qt::LeftButton, {}, row.center());
    EXPECT_TRUE(h.loaded(0) == "Tune" || h.loaded(1) == "Tune");
}

}  // namespace
