#include "app/MixTool.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "Id3Tags.h"
#include "MixMeasures.h"
#include "Mp3Fixtures.h"
#include "SoundFiles.h"

namespace fs = std::filesystem;

namespace {

constexpr double kSeconds = 34.0;  // long enough that a track outlives the mix out of it

using TrackSound = SetTrack;
// Kicks without a snare, whose noise would move where the clicks are read.
const TrackSound kSounds[3] = {
    {"One", 124, 300, 2500}, {"Two", 128, 700, 4000}, {"Three", 124, 1500, 6000}};

// Shared by the tests: encoding takes a while.
const std::vector<uint8_t>& trackBytes(int index) {
    static std::vector<uint8_t> cache[3];
    auto& bytes = cache[index];
    if (bytes.empty()) {
        bytes = encodeMp3(setTrackSound(kSounds[index], kSeconds, false));
    }
    return bytes;
}

class MixToolTest : public ::testing::Test {
  protected:
    MixToolTest() {
        setenv("SPINORA_HOME", (home.path() / "data").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (home.path() / "config").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", home.path().c_str(), 1);
    }

    int run(std::vector<std::string> args) {
        std::ostringstream o, e;
        const int status = runMixTool(args, o, e, false);
        out = o.str();
        err = e.str();
        return status;
    }

    // The three tracks, the last named by its file alone, and a playlist of them with an entry
    // between that is no file.
    std::string writeSet() {
        std::string list;
        for (int i = 0; i < 3; ++i) {
            const std::string name = kSounds[i].name;
            const auto& audio = trackBytes(i);
            std::vector<uint8_t> bytes;
            if (i < 2) {
                bytes = id3v2Tag(4, Id3Text::kUtf8, "Song " + name, "Artist " + name);
            }
            bytes.insert(bytes.end(), audio.begin(), audio.end());
            const std::string file = i < 2 ? name : "Artist " + name + " - Song " + name;
            list += dir.write("tracks/" + file + ".mp3", bytes) + "\n";
            if (i == 0) {
                list += "tracks/Gone.mp3\n";
            }
        }
        return dir.write("Set.m3u", list);
    }

    std::vector<fs::path> leftovers() const {
        std::vector<fs::path> found;
        for (const auto& entry : fs::directory_iterator(dir.path())) {
            if (entry.path().filename().string().find(".wav.") != std::string::npos) {
                found.push_back(entry.path());
            }
        }
        return found;
    }

    TempDir home;
    TempDir dir;
    std::string out, err;
};

// A playlist with an entry that is no file is rendered through: the tracks in their order, each
// mixed into the one before with their beats together, nothing clipped or jumping, and a sheet
// that names them where they start.
TEST_F(MixToolTest, PlaylistIsRenderedWithItsFadesOnTheBeatAndASheetOfItsTracks) {
    const std::string list = writeSet();
    const fs::path wav = dir.path() / "set.wav";
    const fs::path cue = dir.path() / "sheets" / "set.cue";
    fs::create_directory(dir.path() / "sheets");
    ASSERT_EQ(run({list, "-o", wav.string(), "--cue", cue.string()}), 0) << err;
    EXPECT_NE(err.find("Gone.mp3: no such file"), std::string::npos) << err;

    SF_INFO info;
    const std::vector<int16_t> pcm = readSound(wav, info);
    EXPECT_EQ(info.samplerate, 44100);
    EXPECT_EQ(info.channels, 2);
    EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    // Each track from its start of music; each next one comes in at 80 % of the one before and
    // takes 6.4 s: over 34 + 2 * 27 s in all.
    const double seconds = static_cast<double>(info.frames) / 44100.0;
    EXPECT_GT(seconds, 34 + 2 * 26.0);
    EXPECT_LT(seconds, 3 * 34.0);
    EXPECT_LT(firstSound(pcm), 0.001) << "the mix starts with the music";
    EXPECT_LT(longestSilence(pcm, 0.0), 0.3);

    // The second track plays at the first one's tempo, and so does the third.
    const double second = 124.0 / 128.0;
    for (const double offset : {largestBeatOffset(pcm, kSounds[0], 1.0, kSounds[1], second),
                                largestBeatOffset(pcm, kSounds[1], second, kSounds[2], 1.0)}) {
        EXPECT_GE(offset, 0.0) << "both tracks heard together";
        EXPECT_LT(offset, 0.005);
    }

    const std::string sheet = fileText(cue);
    EXPECT_NE(sheet.find("FILE \"../set.wav\" WAVE\n"), std::string::npos) << sheet;
    EXPECT_NE(sheet.find("TITLE \"Song Two\""), std::string::npos) << sheet;
    // The second track comes in at 80 % of the first's 34 s, from where its music starts.
    EXPECT_NE(out.find("02  0:00:2"), std::string::npos) << out;
    EXPECT_NE(out.find("Artist Three - Song Three"), std::string::npos) << out;
    EXPECT_TRUE(leftovers().empty());
    EXPECT_FALSE(fs::exists(home.path() / "data" / "Spinora.idb")) << "kept only with --store";
}

// A mix written over one of its own tracks would destroy it; a list whose files cannot be played
// leaves no output, not even a partial one.
TEST_F(MixToolTest, BadInputStopsWithAMessageAndLeavesNoOutput) {
    const std::string track = dir.write("a.mp3", trackBytes(0));
    EXPECT_EQ(run({track, "-o", track}), 1);
    EXPECT_NE(err.find("is a track of the mix"), std::string::npos) << err;
    EXPECT_EQ(fileText(track).size(), trackBytes(0).size()) << "the track is left as it was";

    const std::string text = dir.write("notes.mp3", std::string("Not music.\n"));
    const fs::path out = dir.path() / "out.wav";
    EXPECT_EQ(run({text, "-o", out.string()}), 1);
    EXPECT_NE(err.find("notes.mp3: not a playable MP3 file"), std::string::npos) << err;
    EXPECT_FALSE(fs::exists(out));
    EXPECT_TRUE(leftovers().empty());
}

}  // namespace
