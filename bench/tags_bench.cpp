// A folder of 5000 tagged MP3 files: how long it takes to list, and how long until every row is
// named by its tags, read in the background. The files are fresh in the page cache: a cold disc
// adds its seeks.
#include <QApplication>
#include <QTreeWidget>
#include <chrono>
#include <cstdio>

#include "AppHarness.h"
#include "Id3Tags.h"
#include "ui/browser/Browser.h"
#include "ui/browser/BrowserModels.h"

namespace {

constexpr int kFiles = 5000;

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

bool allNamed(const ItemListModel& files) {
    for (int row = 0; row < files.size(); ++row) {
        if (files.item(row).title.rfind("Title ", 0) != 0) {
            return false;
        }
    }
    return files.size() == kFiles;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("SPINORA_NO_DIALOGS", "1");
    QApplication app(argc, argv);
    AppHarness h([](TempDir& dir) {
        const std::vector<uint8_t> audio = encodeMp3(tone(440, 0.3));
        for (int i = 0; i < kFiles; ++i) {
            const std::string number = std::to_string(i);
            dir.write("big/track" + number + ".mp3",
                      inserted(audio, 0,
                               id3v2Tag(i % 2 == 0 ? 3 : 4, Id3Text::kLatin1, "Title " + number,
                                        "Artist " + std::to_string(i % 300))));
        }
        dir.write("spinora.ini",
                  "[General]\nInitial folder=@ByteArray(" + dir.path().string() + ")\n");
    });
    if (!h.started) {
        std::fprintf(stderr, "Spinora did not start\n");
        return 1;
    }
    QTreeWidget& tree = h.app->browser().folderTree();
    QTreeWidgetItem* top = tree.topLevelItem(0);
    QTreeWidgetItem* big = nullptr;
    for (int child = 0; child < top->childCount(); ++child) {
        if (top->child(child)->text(0) == "big") {
            big = top->child(child);
        }
    }
    if (big == nullptr) {
        std::fprintf(stderr, "The folder is not in the tree\n");
        return 1;
    }
    const ItemListModel& files = h.app->browser().fileListModel();
    const Clock::time_point start = Clock::now();
    tree.setCurrentItem(big);
    const double listed = millisecondsSince(start);
    const bool named = QTest::qWaitFor([&] { return allNamed(files); }, 60000);
    const double tagged = millisecondsSince(start);
    std::printf("%d files listed in %.0f ms, named by their tags %.0f ms after the click%s\n",
                files.size(), listed, tagged, named ? "" : " (not all: gave up)");
    return named && listed < 300 && tagged < 3000 ? 0 : 1;
}
