// The window as a person uses it: keys through the window, clicks through the dispatcher.
#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QDialog>
#include <QLineEdit>
#include <QTimer>
#include <QWindow>

#include "AppHarness.h"
#include "FileSizeLimit.h"
#include "engine/deck/TrackInfoStore.h"
#include "ui/browser/Browser.h"
#include "ui/display/Screen.h"

namespace {

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(h.started);
        for (int d = 0; d < 2; ++d) {
            h.deck(d).requestLoad("/music/Track.mp3");
        }
        h.serve(3);
    }
    AppHarness h;
};

TEST_F(WindowTest, DeckKeysActOnTheSelectedDeck) {
    Deck& deck = h.deck(0);
    h.press(Qt::Key_Space);
    h.serve(1);
    EXPECT_TRUE(deck.playing());
    h.press(Qt::Key_P);
    h.serve(1);
    EXPECT_FALSE(deck.playing());
    h.press(Qt::Key_Left);
    EXPECT_EQ(deck.pendingMove(), 256);  // forward
    h.press(Qt::Key_Right);
    EXPECT_EQ(deck.pendingMove(), -256);
    h.press(Qt::Key_PageUp);
    EXPECT_EQ(deck.pendingPitch(), 4096 - 102);
    h.press(Qt::Key_Down);
    EXPECT_EQ(deck.pendingPitch(), 4096 + 8);  // from the pitch in effect, not the pending one
    h.press(Qt::Key_S);
    EXPECT_TRUE(deck.pendingSeek());
    h.press(Qt::Key_F3);
    EXPECT_EQ(h.app->deckUi().browserPage, Browser::kAutoMixPage);
    h.press(Qt::Key_F1);
    EXPECT_EQ(h.app->deckUi().browserPage, Browser::kMixingPage);

    h.press(Qt::Key_Tab);
    EXPECT_EQ(h.app->deckUi().selectedDeck, 1);
    h.press(Qt::Key_Space);
    h.serve(1);
    EXPECT_TRUE(h.deck(1).playing());
}

TEST_F(WindowTest, SearchBoxKeepsTheKeysUntilEscape) {
    h.press(Qt::Key_F5);
    QLineEdit& box = h.app->browser().searchBox();
    ASSERT_TRUE(box.hasFocus());
    h.press(Qt::Key_A);
    h.press(Qt::Key_P);   // typed, not a pause
    h.press(Qt::Key_F1);  // not a page switch while typing
    EXPECT_EQ(box.text(), "ap");
    EXPECT_EQ(h.app->deckUi().browserPage, Browser::kDatabasePage);
    EXPECT_EQ(h.deck(0).transportRequest(), Deck::Transport::None);
    h.press(Qt::Key_Escape);
    h.press(Qt::Key_P);
    EXPECT_EQ(box.text(), "ap");
    EXPECT_EQ(h.deck(0).transportRequest(), Deck::Transport::Pause);
}

// Where on a disc a click lands is the control map's; here, that it reaches the deck it names.
TEST_F(WindowTest, ClickOnADiscSeeksItsDeck) {
    h.click(647, 480);  // 6 o'clock on disc 1: half way
    EXPECT_FLOAT_EQ(h.deck(1).pendingSeek().value_or(-1.0f), 0.5f);
    EXPECT_FALSE(h.deck(0).pendingSeek());
}

// The beat view is drawn again when a paused deck moves: nudged, or sent back by the cue.
TEST_F(WindowTest, BeatViewFollowsAPausedDeckThatMoves) {
    Screen& screen = *h.app->screen();
    h.press(Qt::Key_F1);
    screen.pauseRefresh();  // the test draws
    h.serve(200);           // both decks decoded ahead, paused
    screen.refresh();
    EXPECT_FALSE(screen.refresh()) << "nothing moved";

    h.deck(h.app->deckUi().selectedDeck).requestMove(40 * Deck::kFrameSize);
    h.serve(1);
    EXPECT_TRUE(screen.refresh()) << "nudged";
    EXPECT_FALSE(screen.refresh());
    h.deck(h.app->deckUi().selectedDeck).pressCue();
    h.serve(1);
    EXPECT_TRUE(screen.refresh()) << "back to the start by the cue";
}

TEST(SavingTest, StoreIsSavedDuringTheSessionAndEveryFailedSaveIsSaid) {
    const std::string settings = "[General]\nC4=77\n";
    AppHarness h(
        [&](TempDir& dir) {
            dir.write("Spinora.idb.Xy12Ab", std::string("left by a crash"));
            dir.write("spinora.ini", settings);
        },
        [] { return std::make_unique<FakeDecoder>(FakeTrack{}); }, nullptr, true,
        std::chrono::milliseconds(20));
    ASSERT_TRUE(h.started);
    EXPECT_FALSE(std::filesystem::exists(h.dir.path() / "Spinora.idb.Xy12Ab"));
    const std::filesystem::path store = h.dir.path() / "Spinora.idb";

    h.app->store().insert(freshRecord("/m/One.mp3", 100));
    ASSERT_TRUE(QTest::qWaitFor([&] { return std::filesystem::file_size(store) == 48; }, 10000));
    {
        FileSizeLimit full(60);
        h.app->store().insert(freshRecord("/m/Two.mp3", 200));
        ASSERT_TRUE(QTest::qWaitFor([&] { return !h.dialogs.asked.empty(); }, 10000));
        h.app->shutdown();
    }
    EXPECT_EQ(std::filesystem::file_size(store), 48u);
    EXPECT_EQ(fileText(h.dir.path() / "spinora.ini"), settings);
    ASSERT_EQ(h.dialogs.asked.size(), 2);  // the store once, however often it failed
    EXPECT_TRUE(h.dialogs.asked[0].contains("Spinora.idb could not be saved"));
    EXPECT_TRUE(h.dialogs.asked[1].contains("settings could not be saved"));
}

// The real message boxes and file dialogs, answered by keys.
class DialogKeysTest : public ::testing::Test {
  protected:
    DialogKeysTest()
        : boxes(shownDialogs()),
          h([](TempDir&) {},
            [] { return std::make_unique<FakeDecoder>(FakeTrack{.frames = 1225}); }, boxes.get()) {
        boxes->setParent(h.window.get());
    }

    static std::unique_ptr<MessageBoxDialogs> shownDialogs() {
        const QByteArray before = qgetenv("SPINORA_NO_DIALOGS");
        qunsetenv("SPINORA_NO_DIALOGS");
        auto dialogs = std::make_unique<MessageBoxDialogs>();
        qputenv("SPINORA_NO_DIALOGS", before);
        return dialogs;
    }

    void SetUp() override {
        ASSERT_TRUE(h.started);
        for (int d = 0; d < 2; ++d) {
            h.deck(d).requestLoad("/music/Track.mp3");
        }
        h.serve(3);
        h.deck(0).requestPlay();
        h.serve(1);
        ASSERT_TRUE(h.deck(0).playing());
    }

    // Asks to quit and answers with keys, pressed into the message box's window once it has the
    // focus, as a key press travels; a box the keys leave open is rejected after two seconds, so
    // that a fault fails the test instead of hanging it. What the close returned.
    int quitAnsweredBy(const std::function<void(QWindow*)>& keys) {
        bool pressed = false;
        QDeadlineTimer deadline(5000);
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            QWidget* box = QApplication::activeModalWidget();
            if (!pressed && box != nullptr &&
                QGuiApplication::focusWindow() == box->windowHandle()) {
                pressed = true;
                deadline.setRemainingTime(2000);
                keys(box->windowHandle());
            } else if (box != nullptr && deadline.hasExpired()) {
                ADD_FAILURE() << (pressed ? "the keys left the box open" : "the box had no focus");
                static_cast<QDialog*>(box)->reject();
            }
        });
        poll.start(5);
        const int closed = h.dispatch(msg::kClose);
        EXPECT_TRUE(pressed) << "no question was asked";
        return closed;
    }

    std::unique_ptr<MessageBoxDialogs> boxes;
    AppHarness h;
};

TEST_F(DialogKeysTest, QuitQuestionIsAnsweredByKeys) {
    const int pitch = h.deck(0).pendingPitch();
    EXPECT_EQ(quitAnsweredBy([](QWindow* box) { QTest::keyClick(box, Qt::Key_Escape); }), 0);
    EXPECT_EQ(quitAnsweredBy([](QWindow* box) { QTest::keyClick(box, Qt::Key_Return); }), 0)
        << "No is the default";
    EXPECT_EQ(quitAnsweredBy([](QWindow* box) {
                  QTest::keyClick(box, Qt::Key_Tab);
                  QTest::keyClick(box, Qt::Key_Return);
              }),
              1);
    EXPECT_EQ(h.app->deckUi().selectedDeck, 0);
    EXPECT_EQ(h.deck(0).pendingPitch(), pitch);
    EXPECT_EQ(h.deck(1).transportRequest(), Deck::Transport::None);
    EXPECT_TRUE(h.deck(0).playing());
}

}  // namespace
