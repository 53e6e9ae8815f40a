// The track store file: whatever it holds, every record loads repaired, a stored record reads back
// equal after a save, and a deck given a track with such a record plays, seeks and shows it in
// range; the file list sorts its records in a consistent order.
#include <algorithm>
#include <cstring>

#include "DeckLoading.h"
#include "FakeDecoder.h"
#include "FuzzFiles.h"
#include "RecordingOutput.h"
#include "engine/deck/TrackInfoStore.h"
#include "engine/library/Sorting.h"
#include "engine/panel/PanelFormulas.h"

namespace {

constexpr int32_t kToday = (2026 * 16 + 12) * 64 + 7;
constexpr const char* kTrack = "/music/Artist - Title.mp3";

bool sameBytes(const TrackInfoRecord& a, const TrackInfoRecord& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool sameRecords(const std::vector<TrackInfoRecord>& a, const std::vector<TrackInfoRecord>& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), sameBytes);
}

int sign(int value) {
    return (value > 0) - (value < 0);
}

void checkSorts(const std::vector<TrackInfoRecord>& records) {
    std::vector<BrowserItem> items;
    for (std::size_t i = 0; i < records.size() && i < 48; ++i) {
        BrowserItem item;
        item.bpm = records[i].bpm;
        items.push_back(item);
    }
    for (int key : {2, 10}) {
        for (const BrowserItem& a : items) {
            for (const BrowserItem& b : items) {
                FUZZ_CHECK(sign(compareItems(a, b, key)) == -sign(compareItems(b, a, key)));
            }
        }
        std::vector<BrowserItem> sorted = items;
        std::stable_sort(sorted.begin(), sorted.end(), [key](const auto& a, const auto& b) {
            return compareItems(a, b, key) < 0;
        });
        for (std::size_t i = 1; i < sorted.size(); ++i) {
            FUZZ_CHECK(compareItems(sorted[i - 1], sorted[i], key) <= 0);
        }
    }
}

void checkPanels(const Deck& deck, const TrackInfoRecord& r) {
    const float position = deck.position();
    FUZZ_CHECK(position == -1.0f || (position >= 0.0f && position <= 1.0f));
    const TimeInputs times{position,      deck.durationSeconds(), deck.pitch(),
                           r.cuePosition, r.startPosition,        r.endPosition};
    for (const PanelLine& line : timePanelLines(times)) {
        FUZZ_CHECK(line.text.size() < 64);
    }
    for (const PanelLine& line :
         bpmPanelLines(position, r.bpm, deck.effectiveBpm(), deck.pitch())) {
        FUZZ_CHECK(line.text.size() < 64);
    }
    needleEnd(0, position);
}

// Plays the deck's track through the fuzzed record's cue, start and end.
void playWithRecord(TrackInfoStore& store) {
    EngineState engine;
    engine.store = &store;
    Deck deck(std::make_unique<RecordingOutput>(), 0, engine, fakeDecoders());
    deck.requestLoad(kTrack);
    FUZZ_CHECK(finishLoad(deck));
    FUZZ_CHECK(deck.isLoaded());
    const TrackInfoRecord r = snapshotRecord(deck.record());
    FUZZ_CHECK(sameBytes(r, repairedRecord(r)));
    checkPanels(deck, r);

    const auto run = [&deck, &r](int steps) {
        for (int i = 0; i < steps; ++i) {
            deck.serviceStep();
            deck.followPlayPosition(std::max(0, deck.aheadCount() - 3000));
            checkPanels(deck, r);
        }
    };
    deck.requestPlay();
    run(4);
    deck.pressCue();
    run(3);
    deck.pressCue();
    run(3);
    deck.requestPlayFromCue();
    run(3);
    deck.requestSeek(r.endPosition);
    run(4);
    deck.setCueHere();
    run(2);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string path = writeFuzzFile(TrackInfoStore::kFileName, data, size);
    TrackInfoStore store(path, 1, kToday);
    store.load();

    // Every whole record loads, repaired.
    const std::vector<TrackInfoRecord> loaded = store.records();
    FUZZ_CHECK(loaded.size() == size / TrackInfoStore::kRecordBytes);
    for (std::size_t i = 0; i < loaded.size(); ++i) {
        TrackInfoRecord raw;
        std::memcpy(&raw, data + i * sizeof raw, sizeof raw);
        FUZZ_CHECK(sameBytes(loaded[i], repairedRecord(raw)));
    }

    // The first record, given to the deck's track, is found as stored.
    TrackInfoRecord mine = loaded.empty() ? freshRecord(kTrack, 1) : loaded.front();
    mine.nameHash = nameHash(kTrack);
    mine.sizeKey = static_cast<int32_t>(FakeTrack{}.size);
    store.insert(mine);
    TrackInfoRecord found;
    FUZZ_CHECK(store.lookup(kTrack, mine.sizeKey, found));
    FUZZ_CHECK(found.bpm == mine.bpm && found.cuePosition == mine.cuePosition);
    FUZZ_CHECK(found.dateStamp == kToday && found.optimizedDetection == 1);

    // Saved and read again, the store is the same.
    FUZZ_CHECK(store.save());
    TrackInfoStore again(path, 1, kToday);
    again.load();
    FUZZ_CHECK(sameRecords(again.records(), store.records()));

    playWithRecord(again);
    checkSorts(again.records());
    return 0;
}
