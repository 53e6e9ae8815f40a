// Tracks onto the decks (drops, double clicks, the history timer), the playlist files, and the
// automatic mix step by step.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMimeData>
#include <QUrl>

#include "AppHarness.h"
#include "FileSizeLimit.h"
#include "ListRows.h"
#include "platform/DeckEventQueue.h"
#include "platform/Mpg123Decoder.h"
#include "ui/browser/Browser.h"
#include "ui/browser/BrowserModels.h"
#include "ui/browser/ListView.h"
#include "ui/deck/AutoMixer.h"
#include "ui/deck/TrackLoader.h"

namespace {

const QPoint kDisc[2] = {QPoint(151, 444), QPoint(647, 444)};

class LoadingTest : public ::testing::Test {
  protected:
    LoadingTest()
        : h([](TempDir& dir) {
              for (const char* name : {"One - A.mp3", "Two - B.mp3", "Three - C.mp3"}) {
                  dir.write(std::string("music/") + name, std::string("x"));
              }
              dir.write("music/set.m3u", std::string("/m/P - 1.mp3\n/m/P - 2.mp3\n/m/P - 3.mp3\n"));
              dir.write("spinora.ini", "[General]\nInitial folder=@ByteArray(" +
                                           (dir.path() / "music").string() + ")\n");
          }),
          browser(h.app->browser()),
          files(browser.fileListModel()),
          playlist(browser.playlistModel()) {}

    static int rowOf(const ItemListModel& model, const std::string& title) {
        const std::vector<std::string> titles = titlesOf(model);
        return static_cast<int>(std::find(titles.begin(), titles.end(), title) - titles.begin());
    }

    // Drags these rows of a list and lets go at a point of the window.
    void dragRows(ListView& view, const std::vector<int>& rows, QPoint at) {
        view.clearSelection();
        for (int row : rows) {
            view.selectionModel()->select(view.model()->index(row, 0),
                                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
        view.onDragStart();
        h.dispatch(msg::kLeftButtonUp, 0, msg::pointParam(at.x(), at.y()));
    }

    AppHarness h;
    Browser& browser;
    ItemListModel& files;
    ItemListModel& playlist;
};

TEST_F(LoadingTest, ThreeFilesOnADiscFillBothDecksAndThePlaylist) {
    std::vector<int> rows = {rowOf(files, "A"), rowOf(files, "B"), rowOf(files, "C")};
    std::sort(rows.begin(), rows.end());  // dragged in row order
    dragRows(browser.fileListView(), rows, kDisc[0]);
    EXPECT_EQ(h.loaded(0), files.item(rows[0]).title);
    EXPECT_EQ(h.loaded(1), files.item(rows[1]).title);
    ASSERT_EQ(playlist.size(), 1);
    EXPECT_EQ(playlist.item(0).title, files.item(rows[2]).title);
    EXPECT_EQ(files.size(), 4);  // rows dragged from the file list are copies
    EXPECT_EQ(h.app->deckUi().browserPage, Browser::kMixingPage);  // a load from the files page
}

TEST_F(LoadingTest, PlaylistFileOnADiscIsExpanded) {
    dragRows(browser.fileListView(), {rowOf(files, "set.m3u")}, kDisc[1]);
    EXPECT_EQ(h.loaded(1), "1");
    EXPECT_EQ(h.loaded(0), "2");
    ASSERT_EQ(playlist.size(), 1);
    EXPECT_EQ(playlist.item(0).path, "/m/P - 3.mp3");
}

// A drop into the empty playlist with the auto mix on goes onto a deck; with rows, between them.
TEST_F(LoadingTest, DropsIntoThePlaylistAndOutOfIt) {
    h.app->controls().showBrowserPage(Browser::kAutoMixPage);
    h.app->engine().autoMixEnabled = 1;
    dragRows(browser.fileListView(), {rowOf(files, "C")}, browser.playlistArea().center());
    EXPECT_EQ(h.loaded(0), "C");
    EXPECT_EQ(playlist.size(), 0);
    h.app->engine().autoMixEnabled = 0;
    ListView& view = browser.playlistView();
    for (const char* title : {"x", "y"}) {
        browser.insertPlaylistItem(-1, BrowserItem{"", title, "/x.mp3", 0, 0});
    }
    const QRect firstRow = view.visualRect(playlist.index(0, 0));
    const QPoint onRow1 =
        view.viewport()->mapTo(h.window.get(), firstRow.center()) + QPoint(0, firstRow.height());
    dragRows(browser.fileListView(), {rowOf(files, "A")}, onRow1);
    EXPECT_EQ(playlist.item(1).title, "A");

    // Rows dragged out of the playlist and let go on the file list are gone.
    dragRows(view, {0, 1}, browser.fileListArea().center());
    EXPECT_EQ(titlesOf(playlist), std::vector<std::string>{"y"});
}

TEST_F(LoadingTest, LoudPlayingDeckAsksFirst) {
    h.deck(0).requestLoad("/m/x.mp3");
    h.serve(2);
    h.deck(0).requestPlay();
    h.serve(1);
    h.dialogs.answer = false;
    dragRows(browser.fileListView(), {rowOf(files, "A")}, kDisc[0]);
    EXPECT_EQ(h.dialogs.asked.value(0), "Warning ! A music is still beeing played on this desk !");
    EXPECT_EQ(h.loaded(0), "");
    h.app->deckUi().deckVolume[0] = 50;
    dragRows(browser.fileListView(), {rowOf(files, "A")}, kDisc[0]);
    EXPECT_EQ(h.loaded(0), "A");
}

// A drop from the file manager, as text/uri-list.
std::unique_ptr<QMimeData> uriList(const std::vector<std::string>& paths) {
    QByteArray list;
    for (const std::string& path : paths) {
        list += "file://" + QByteArray::fromStdString(path).toPercentEncoding("/") + "\r\n";
    }
    auto data = std::make_unique<QMimeData>();
    data->setData(QStringLiteral("text/uri-list"), list);
    return data;
}

TEST_F(LoadingTest, DroppedFilesAreFilteredAndFoldersGiveTheirTracks) {
    const TempDir& dir = h.dir;
    const std::string b = dir.write("drop/b.mp3", std::string("x"));
    const std::string a = dir.write("drop/A.mp3", std::string("x"));
    dir.write("drop/notes.txt", std::string("x"));
    dir.write("drop/list.m3u", std::string("/m/Q - 0.mp3\n"));
    std::filesystem::create_directories(dir.path() / "drop" / "sub");
    const std::string set = dir.write("other/set.m3u8", std::string("/m/Q - 1.mp3\n"));
    const std::string text = dir.write("other/readme.txt", std::string("x"));
    const std::string folder = (dir.path() / "drop").string();

    h.app->controls().showBrowserPage(Browser::kAutoMixPage);
    const auto drop = [this](QPoint at, const QMimeData& data) {
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(h.window.get(), &enter);
        QDropEvent event(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(h.window.get(), &event);
    };
    drop(browser.playlistArea().center(), *uriList({text, folder, set}));
    EXPECT_EQ(pathsOf(playlist), (std::vector<std::string>{a, b, set}));
    EXPECT_EQ(playlist.item(2).kind, BrowserItem::kPlaylistFile);
    drop(kDisc[0], *uriList({text}));
    EXPECT_EQ(h.loaded(0), "");
    drop(kDisc[0], *uriList({folder}));
    EXPECT_EQ(h.loaded(0), "A");
    EXPECT_EQ(h.loaded(1), "b");
}

// A saved playlist takes the entries of its playlist files and stands in their place; a save that
// fails leaves the rows and the file as they were.
TEST_F(LoadingTest, SavingFlattensPlaylistFilesAndAFailedSaveKeepsTheRowsAndSaysIt) {
    browser.insertPlaylistItem(-1, files.item(rowOf(files, "A")));
    browser.insertPlaylistItem(-1, files.item(rowOf(files, "set.m3u")));
    browser.insertPlaylistItem(-1, files.item(rowOf(files, "B")));
    const std::string saved = (h.dir.path() / "saved.m3u").string();
    h.dialogs.chosenFile = QString::fromStdString(saved);
    h.dispatch(msg::kCommand, Browser::kSaveButton);
    const std::string text = fileText(saved);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 5);
    ASSERT_EQ(playlist.size(), 1);
    EXPECT_EQ(playlist.image(0), 3);
    EXPECT_EQ(playlist.item(0).path, saved);

    {
        FileSizeLimit full(10);
        h.dispatch(msg::kCommand, Browser::kSaveButton);
    }
    ASSERT_EQ(h.dialogs.asked.size(), 1);
    EXPECT_TRUE(h.dialogs.asked[0].contains("could not be saved"));
    BrowserItem odd = files.item(rowOf(files, "B"));
    odd.path = "/music/Two -\nB.mp3";
    browser.insertPlaylistItem(-1, odd);
    h.dispatch(msg::kCommand, Browser::kSaveButton);
    ASSERT_EQ(h.dialogs.asked.size(), 2);
    EXPECT_TRUE(h.dialogs.asked[1].contains("line break"));
    EXPECT_EQ(playlist.size(), 2);
    EXPECT_EQ(fileText(saved), text);
}

// Two decks loaded with scripted tracks, deck 0 playing.
class AutoMixTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (int d = 0; d < 2; ++d) {
            h.deck(d).requestLoad("/m/t.mp3");
        }
        h.serve(2);
        h.deck(0).requestPlay();
        h.serve(1);
    }
    void step(int count = 1) {
        for (int i = 0; i < count; ++i) {
            h.dispatch(msg::kTimer, timer::kAutoMix);
        }
    }
    std::array<int, 2>& volumes() { return h.app->deckUi().deckVolume; }

    AppHarness h;
};

// The schedule itself is the logic's; here, its clock, its volumes and its ends as wired.
TEST_F(AutoMixTest, MixRunsOnItsTimerAndItsEndTakesTheNextPlaylistRow) {
    h.app->engine().autoMixEnabled = 1;
    h.app->browser().insertPlaylistItem(-1, BrowserItem{"", "Next", "/m/next.mp3", 0, 0});
    h.dispatch(msg::kMixInto, 1);
    EXPECT_EQ(volumes(), (std::array<int, 2>{256, 0}));
    h.serve(1);
    EXPECT_TRUE(h.deck(1).playing());
    EXPECT_NE(h.app->deckUi().autoMixTimer, 0);
    step(33);
    EXPECT_EQ(volumes(), (std::array<int, 2>{0, 256}));
    EXPECT_EQ(h.app->deckUi().autoMixTimer, 0);
    EXPECT_EQ(h.loaded(0), "Next");
    EXPECT_EQ(h.app->browser().playlistSize(), 0);
}

TEST_F(AutoMixTest, MixIsAbandonedByThePadOrALoad) {
    const auto running = [&] { return h.app->deckUi().autoMixTimer != 0; };
    h.dispatch(msg::kMixInto, 1);
    step(3);
    h.click(399, 444);  // the mix pad
    EXPECT_FALSE(running());
    EXPECT_EQ(volumes(), (std::array<int, 2>{128, 128}));

    h.deck(1).requestPause();
    h.serve(1);
    h.dispatch(msg::kMixInto, 1);
    h.app->loader().loadTrack(1, BrowserItem{"", "t", "/m/t.mp3", 0, 0});
    EXPECT_FALSE(running());
}

// A playlist through the automatic mix with real files, some of which cannot play.
class PlaylistThroughAutoMixTest : public ::testing::Test {
  protected:
    PlaylistThroughAutoMixTest()
        : h([](TempDir&) {}, makeMpg123Decoder), playlist(h.app->browser().playlistModel()) {}

    void add(const std::string& name, double seconds) {
        const std::string path =
            seconds > 0 ? h.dir.write(name, encodeMp3(tone(440, seconds)))
                        : h.dir.write(name, std::string("These are notes, not music.\n"));
        h.app->browser().insertPlaylistItem(-1, h.app->browser().itemForFile(path));
    }
    void autoMixOn() {
        h.app->controls().showBrowserPage(Browser::kAutoMixPage);
        static_cast<QAbstractButton*>(h.app->browser().control(Browser::kAutoMixBox))->click();
    }
    // Takes the files asked for in and delivers what the decks said.
    void serve() {
        h.serve(2);
        h.app->deckEvents().deliverPending();
    }
    AppHarness h;
    ItemListModel& playlist;
};

TEST_F(PlaylistThroughAutoMixTest, UnplayableRowIsSkippedMarkedAndNeverCountedAsPlayed) {
    add("Text.mp3", 0);
    add("Two - Second.mp3", 2);
    add("Three - Third.mp3", 2);
    autoMixOn();  // the text file onto deck 0, the second track onto deck 1
    ASSERT_EQ(h.loaded(0), "Text");
    ASSERT_EQ(h.loaded(1), "Second");
    serve();
    serve();
    EXPECT_EQ(h.loaded(0), "Third");  // the next playable row took its place
    EXPECT_TRUE(h.deck(0).isPlayable());
    ASSERT_EQ(playlist.size(), 1);
    EXPECT_EQ(playlist.item(0).title, "Text");  // back in the playlist, marked
    EXPECT_TRUE(playlist.unplayable(0));

    // History counts the tracks on the decks once their time comes, never the text file.
    h.dispatch(msg::kTimer, timer::kHistoryDeck0);
    h.dispatch(msg::kTimer, timer::kHistoryDeck1);
    ItemListModel& history = h.app->browser().historyModel();
    ASSERT_EQ(history.size(), 2);
    EXPECT_EQ(history.item(0).title, "Third");
    EXPECT_EQ(history.item(1).title, "Second");
}

}  // namespace
