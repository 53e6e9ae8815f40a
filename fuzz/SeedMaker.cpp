// Writes the seed inputs of every fuzz target into the folder given, one subfolder per target.
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Mp3Fixtures.h"
#include "Pcm.h"
#include "core/TrackInfoRecord.h"

namespace fs = std::filesystem;

namespace {

void write(const fs::path& file, const std::vector<uint8_t>& bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> withPrefix(uint8_t prefix, std::vector<uint8_t> bytes) {
    bytes.insert(bytes.begin(), prefix);
    return bytes;
}

// The MP3 seeds are short: the fuzzers mutate every byte of them.
void makeMp3Seeds(const fs::path& folder) {
    const std::vector<std::pair<std::string, std::vector<uint8_t>>> tracks = {
        {"drums", encodeMp3(drums(120, 1.5), {.kbps = 64})},
        {"vbr", encodeMp3(drums(128, 1.5), {.vbr = true})},
        {"mono", encodeMp3(tone(440, 1.0, 44100, 1), {.kbps = 32})},
        {"22k", encodeMp3(clicks(100, 1.0, 1000, 22050), {.kbps = 32})},
        {"id3", id3TagOnly()},
    };
    for (const auto& [name, bytes] : tracks) {
        const std::vector<uint8_t> broken =
            damaged(bytes, bytes.size() / 3, std::min<std::size_t>(200, bytes.size() / 4), 7);
        // The decoder's first byte is the number of seeks, then one byte per seek.
        write(folder / "decoder" / name, withPrefix(3, inserted(bytes, 0, {20, 120, 255})));
        write(folder / "decoder" / (name + "-damaged"),
              withPrefix(2, inserted(broken, 0, {190, 60})));
        write(folder / "analysis" / name, withPrefix(1, bytes));
        write(folder / "analysis" / (name + "-damaged"), withPrefix(0, broken));
        write(folder / "analysis" / (name + "-cut"), withPrefix(1, truncated(bytes, 0.6)));
    }
}

void makeStoreSeed(const fs::path& folder) {
    std::vector<TrackInfoRecord> records;
    TrackInfoRecord measured = freshRecord("/music/Artist - Title.mp3", 5123456);
    measured.bpm = 127.5f;
    measured.startPosition = 0.02f;
    measured.endPosition = 0.97f;
    measured.cuePosition = 0.25f;
    measured.startStrength = 900;
    measured.endStrength = 700;
    measured.bpmVotes = 12;
    measured.dateStamp = dateStamp(2026, 11, 30);
    records.push_back(measured);
    TrackInfoRecord locked = measured;
    locked.nameHash += 1;
    locked.bpmVotes = kLockedBpmVotes;
    locked.optimizedDetection = 0;
    records.push_back(locked);
    records.push_back(freshRecord("/music/new.mp3", 42));
    std::vector<uint8_t> bytes(records.size() * sizeof(TrackInfoRecord));
    std::memcpy(bytes.data(), records.data(), bytes.size());
    write(folder / "store" / "records", bytes);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        return 2;
    }
    const fs::path folder = argv[1];
    makeMp3Seeds(folder);
    makeStoreSeed(folder);
    return 0;
}
