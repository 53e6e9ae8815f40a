// The window's costs: a frame of the beat view, a tick of the deck panels, a search of a large
// track database, a sort of its results and the listing of a large folder while both decks play.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPainter>
#include <QTreeWidget>
#include <algorithm>
#include <fstream>
#include <thread>

#include "AppHarness.h"
#include "engine/beat/BeatPhase.h"
#include "engine/library/TrackDatabase.h"
#include "ui/browser/Browser.h"
#include "ui/browser/BrowserModels.h"
#include "ui/deck/DeckArea.h"
#include "ui/display/BeatView.h"

namespace {

// Both decks playing scripted tracks, their histories full of onsets.
void playBoth(AppHarness& h) {
    for (int d = 0; d < 2; ++d) {
        h.deck(d).requestLoad("/bench/t.mp3");
    }
    h.serve(2);
    for (int d = 0; d < 2; ++d) {
        h.deck(d).requestPlay();
    }
    h.serve(200);
}

// What the refresh thread does per frame, and the window's paint of it: at 58 frames a second.
void beatViewFrame(benchmark::State& state) {
    AppHarness h;
    playBoth(h);
    QImage frame(beatview::kWidth, beatview::kHeight, QImage::Format_RGB32);
    QImage window(800, 600, QImage::Format_RGB32);
    std::array<int16_t, beatview::kWidth> other{};
    std::array<int16_t, beatview::kWidth> selected{};
    // The harness's decks stand still between frames: the strips are shifted as playing decks
    // scroll them (about 5 columns a frame).
    constexpr int kScrollPerFrame = 5;
    int scroll = 0;
    const auto started = std::chrono::steady_clock::now();
    for (auto _ : state) {
        onsetStrip(h.deck(1).beatView(), other.data());
        onsetStrip(h.deck(0).beatView(), selected.data());
        scroll = (scroll + kScrollPerFrame) % beatview::kWidth;
        std::rotate(other.begin(), other.begin() + scroll, other.end());
        std::rotate(selected.begin(), selected.begin() + scroll, selected.end());
        beatview::render(other.data(), selected.data(), reinterpret_cast<uint32_t*>(frame.bits()),
                         frame.width(), frame.height(), static_cast<int>(frame.bytesPerLine() / 4));
        QPainter painter(&window);
        painter.drawImage(QPoint(beatview::kLeft, beatview::kTop), frame);
    }
    const double perFrame =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count() /
        static_cast<double>(state.iterations());
    state.counters["cpu_percent_at_58fps"] = perFrame * 58 * 100;
}

// One tick of timer 160 while both decks play: the panels' texts and needles drawn anew.
void panelTick(benchmark::State& state) {
    AppHarness h;
    playBoth(h);
    for (TestPlayback* card : h.audio.streams) {
        card->keepPlayed = false;
    }
    constexpr int kBlocksPerTick = 17;  // 100 ms of music between ticks
    for (auto _ : state) {
        state.PauseTiming();
        playBlocks(h.audio, h.deck(0), h.deck(1), kBlocksPerTick);  // needles and times move on
        for (int d = 0; d < 2; ++d) {
            if (h.deck(d).position() > 0.9f) {
                h.deck(d).requestSeek(0.1f);  // the tracks are short: never at their end
            }
        }
        state.ResumeTiming();
        h.app->deckArea().periodicUpdate();
    }
}

// A track database of 100,000 lines, some names accented, loaded.
struct LargeDatabase {
    LargeDatabase() {
        const std::filesystem::path file = dir.path() / "db.txt";
        {
            std::ofstream out(file);
            const char* const firsts[] = {"Artist", "\xc3\x89tienne", "artiste", "\xc3\x81lvaro",
                                          "Zo\xc3\xab"};
            for (int i = 0; i < 100000; ++i) {
                out << "CD " << i / 15 << "=D:\\Collection\\Disc " << i / 15 << "\\"
                    << firsts[i % 5] << ' ' << i % 977 << " - Title number " << (i * 7919) % 100000
                    << ".mp3\r\n";
            }
        }
        database.load(file.string());
    }

    TempDir dir;
    TrackDatabase database;
};

void searchDatabase(benchmark::State& state) {
    const LargeDatabase large;
    const TrackDatabase& database = large.database;
    DatabaseModel model;
    const std::vector<std::string> words = searchWords(state.range(0) != 0 ? "artist 97" : "");
    for (auto _ : state) {
        model.setLines(database.search(words));
        benchmark::DoNotOptimize(model.rowCount());
    }
    state.SetLabel(state.range(0) != 0 ? "100000 lines, 'artist 97'" : "100000 lines, all");
}

// A click on a header of 100,000 search results: every row's collation key, then the sort.
void sortSearchResults(benchmark::State& state) {
    const LargeDatabase large;
    const TrackDatabase& database = large.database;
    DatabaseModel model;
    const int column = static_cast<int>(state.range(0));
    bool descending = false;
    for (auto _ : state) {
        state.PauseTiming();
        model.setLines(database.search({}));
        state.ResumeTiming();
        model.sortLines(column, descending);
        descending = !descending;
    }
    const char* const names[] = {"Title", "Artist", "Disc", "Path"};
    state.SetLabel(std::string("100000 rows by ") + names[column]);
}

// A folder of 5000 MP3 files listed while both decks play on the audio thread and a card takes
// their sound in real time; an underrun would show as a deck with nothing left ahead.
void listLargeFolder(benchmark::State& state) {
    AppHarness h([](TempDir& dir) {
        for (int i = 0; i < 5000; ++i) {
            dir.write(
                "big/Artist " + std::to_string(i % 300) + " - Track " + std::to_string(i) + ".mp3",
                std::string(i % 7 + 1, 'x'));
        }
        dir.write("spinora.ini",
                  "[General]\nInitial folder=@ByteArray(" + (dir.path() / "big").string() + ")\n");
    });
    playBoth(h);
    std::atomic<bool> running{true};
    std::atomic<int> underruns{0};
    std::thread audio([&] {
        while (running) {
            for (TestPlayback* card : h.audio.streams) {
                card->advance(256);
                card->played.clear();
            }
            h.serve(4);
            for (int d = 0; d < 2; ++d) {
                underruns += h.deck(d).aheadCount() <= 0;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(5800));
        }
    });
    Browser& browser = h.app->browser();
    QTreeWidget& tree = browser.folderTree();
    for (auto _ : state) {
        tree.setCurrentItem(nullptr);  // so that choosing the folder lists it again
        tree.setCurrentItem(tree.topLevelItem(0));
    }
    running = false;
    audio.join();
    state.counters["rows"] = browser.fileListModel().size();
    state.counters["underruns"] = underruns.load();
}

}  // namespace

BENCHMARK(beatViewFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(panelTick)->Unit(benchmark::kMicrosecond);
BENCHMARK(searchDatabase)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(sortSearchResults)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(listLargeFolder)->Unit(benchmark::kMillisecond)->Iterations(5);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("SPINORA_NO_DIALOGS", "1");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
