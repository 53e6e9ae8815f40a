// A second start's request, through the socket, as the running window takes it: to the front, and
// its files onto the free decks.
#include <gtest/gtest.h>

#include <QWidget>
#include <future>

#include "AppHarness.h"
#include "ListRows.h"
#include "platform/InstanceChannel.h"
#include "ui/browser/Browser.h"
#include "ui/browser/BrowserModels.h"

namespace {

class SecondStartTest : public ::testing::Test {
  protected:
    SecondStartTest() {
        h.app->listenForOtherStarts(socket());
        h.window->window()->showMinimized();
    }
    void SetUp() override { ASSERT_TRUE(h.started); }

    std::filesystem::path socket() const { return h.dir.path() / "spinora.socket"; }
    std::string track(const std::string& name) const { return (h.dir.path() / name).string(); }

    // Asks as a second start does, from a thread of its own while this one runs the window, and
    // waits until the window has what it asked for.
    void ask(const std::vector<std::string>& files, const std::function<bool()>& taken) {
        std::future<bool> asked = std::async(std::launch::async, [this, files] {
            return askRunningInstance(socket(), files, 10000);
        });
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return asked.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
            15000));
        EXPECT_TRUE(asked.get()) << "the running window hangs up once it has the request";
        ASSERT_TRUE(QTest::qWaitFor(taken, 10000));
    }
    bool raised() const {
        const QWidget* top = h.window->window();
        return top->isVisible() && !top->isMinimized();
    }
    std::vector<std::string> playlistPaths() { return pathsOf(h.app->browser().playlistModel()); }

    AppHarness h;
};

TEST_F(SecondStartTest, FilesNoFreeDeckTakesGoToTheEndOfThePlaylistInTheirOrder) {
    h.app->loadOntoDeck(0, h.app->browser().itemForFile(track("Playing.mp3")));
    h.app->browser().insertPlaylistItem(-1, h.app->browser().itemForFile(track("Queued.mp3")));
    h.serve(1);
    ASSERT_FALSE(h.app->deckIsFree(0));

    ask({track("A.mp3"), track("B.mp3"), track("C.mp3")}, [&] { return h.loaded(1) == "A"; });
    EXPECT_EQ(h.loaded(0), "Playing");
    EXPECT_EQ(playlistPaths(),
              (std::vector<std::string>{track("Queued.mp3"), track("B.mp3"), track("C.mp3")}));
    EXPECT_TRUE(raised());

    // With both decks taken, a start without files only brings the window forward.
    h.serve(1);
    h.window->window()->showMinimized();
    ask({}, [&] { return raised(); });
    EXPECT_EQ(h.loaded(0), "Playing");
    EXPECT_EQ(h.loaded(1), "A");
    EXPECT_EQ(playlistPaths().size(), 3u);
}

}  // namespace
