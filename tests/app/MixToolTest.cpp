#include "app/MixTool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>

#include "Id3Tags.h"
#include "MixMeasures.h"
#include "Mp3Fixtures.h"
#include "SoundFiles.h"
#include "platform/Mpg123Decoder.h"

namespace fs = std::filesystem;

namespace {

struct Parsed {
    int status = -1;
    std::optional<MixToolOptions> options;
    std::string out, err;
};

Parsed parse(const std::vector<std::string>& args) {
    Parsed p;
    std::ostringstream out, err;
    p.options = parseMixArguments(args, out, err, p.status);
    p.out = out.str();
    p.err = err.str();
    return p;
}

TEST(MixToolArgumentsTest, OptionsInBothFormsAndTheDefaultOutput) {
    const Parsed p = parse({"--long", "--shuffle", "--bpm=126.5", "--cue", "set.cue", "--store",
                            "lists/Friday Night.m3u8", "extra.mp3"});
    ASSERT_TRUE(p.options) << p.err;
    EXPECT_TRUE(p.options->longMix && p.options->shuffle && p.options->store);
    EXPECT_FLOAT_EQ(p.options->bpm, 126.5f);
    EXPECT_EQ(p.options->cue, "set.cue");
    EXPECT_EQ(p.options->output, "Friday Night.wav") << "in the working folder";
    EXPECT_EQ(p.options->inputs,
              (std::vector<std::string>{"lists/Friday Night.m3u8", "extra.mp3"}));

    EXPECT_EQ(parse({"a.mp3", "b.mp3"}).options->output, "mix.wav");
    EXPECT_EQ(parse({"--output=x.mp3", "--bpm", "90", "--", "-odd.mp3"}).options->inputs,
              std::vector<std::string>{"-odd.mp3"});
}

TEST(MixToolArgumentsTest, UsageErrorsAndHelpStopWithTheirStatus) {
    const std::vector<std::vector<std::string>> errors = {
        {},
        {"--bpm", "fast", "a.mp3"},
        {"--bpm=400", "a.mp3"},
        {"a.mp3", "--bpm"},
        {"--loud", "a.mp3"},
        {"--cue", "same.wav", "-o", "same.wav", "a.mp3"},
    };
    for (const auto& args : errors) {
        const Parsed p = parse(args);
        EXPECT_FALSE(p.options);
        EXPECT_EQ(p.status, 2) << ::testing::PrintToString(args);
        EXPECT_TRUE(p.err.starts_with("spinora-mix: ")) << p.err;
    }
    const Parsed help = parse({"a.mp3", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Usage: spinora-mix"), std::string::npos);
    EXPECT_EQ(parse({"--version"}).status, 0);
}

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

// The same list renders to the same sound, sample for sample, and --store keeps the analyses
// so that a second run needs none; FLAC and MP3 outputs hold the same mix.
TEST_F(MixToolTest, RendersAreRepeatableAndEveryFormatHoldsTheMix) {
    const std::string a = dir.write("a.mp3", trackBytes(0));
    const std::string b = dir.write("b.mp3", trackBytes(1));
    const fs::path first = dir.path() / "first.wav";
    const fs::path second = dir.path() / "second.wav";
    ASSERT_EQ(run({"--store", "-o", first.string(), a, b}), 0) << err;
    EXPECT_TRUE(fs::exists(home.path() / "data" / "Spinora.idb"));
    ASSERT_EQ(run({"-o", second.string(), a, b}), 0) << err;
    SF_INFO info;
    const std::vector<int16_t> wav = readSound(first, info);
    ASSERT_FALSE(wav.empty());
    EXPECT_TRUE(wav == readSound(second, info)) << "the same mix every time";

    const fs::path flac = dir.path() / "mix.FLAC";
    ASSERT_EQ(run({"-o", flac.string(), a, b}), 0) << err;
    EXPECT_TRUE(readSound(flac, info) == wav);
    EXPECT_EQ(info.format, SF_FORMAT_FLAC | SF_FORMAT_PCM_16);

    const fs::path mp3 = dir.path() / "mix.mp3";
    ASSERT_EQ(run({"-o", mp3.string(), a, b}), 0) << err;
    std::vector<int16_t> decoded;
    {
        auto decoder = makeMpg123Decoder();
        decoder->newInput(mp3.c_str());
        EXPECT_TRUE(decoder->open());
        std::vector<int16_t> frame(2 * Decoder::kFrameSamples);
        while (decoder->decode(frame.data()) == Decoder::kDecoded) {
            decoded.insert(decoded.end(), frame.begin(), frame.end());
        }
    }
    EXPECT_NEAR(static_cast<double>(decoded.size()), static_cast<double>(wav.size()), 2 * 4000.0);
    const long middle = 10L * 44100;  // the first track alone
    EXPECT_NEAR(hannAmplitude(decoded, kSounds[0].toneHz, middle, 4410),
                hannAmplitude(wav, kSounds[0].toneHz, middle, 4410), 200.0);
}

// The mean spacing, in seconds, of a click's bursts over a span.
double beatSpacing(const std::vector<int16_t>& pcm, double hz, double from, double to) {
    const std::vector<double> at = onsets(pcm, hz, from, to);
    return at.size() < 2 ? 0.0 : (at.back() - at.front()) / static_cast<double>(at.size() - 1);
}

// --bpm takes every track to the one tempo, the first one too.
TEST_F(MixToolTest, BpmPlaysTheWholeSetAtOneTempo) {
    const std::string a = dir.write("a.mp3", trackBytes(0));
    const std::string b = dir.write("b.mp3", trackBytes(1));
    const fs::path wav = dir.path() / "set.wav";
    ASSERT_EQ(run({"--bpm", "120", "-o", wav.string(), a, b}), 0) << err;
    SF_INFO info;
    const std::vector<int16_t> pcm = readSound(wav, info);
    const double seconds = static_cast<double>(info.frames) / 44100.0;
    // The first track alone, then the second alone after the mix.
    EXPECT_NEAR(beatSpacing(pcm, kSounds[0].clickHz * 120 / 124, 2, 20), 0.5, 0.002);
    EXPECT_NEAR(beatSpacing(pcm, kSounds[1].clickHz * 120 / 128, seconds - 15, seconds - 2), 0.5,
                0.002);
}

// What cannot be mixed stops before any work, and whatever stops the tool leaves no partial file:
// an empty list, an output that cannot be written, a mix written over one of its own tracks, a
// list whose files cannot be played.
TEST_F(MixToolTest, BadInputStopsWithAMessageAndLeavesNoOutput) {
    const std::string empty = dir.write("empty.m3u", std::string("# nothing here\n"));
    const std::string track = dir.write("a.mp3", trackBytes(0));
    const std::string text = dir.write("notes.mp3", std::string("Not music.\n"));
    const fs::path out = dir.path() / "out.wav";

    EXPECT_EQ(run({empty, "-o", out.string()}), 1);
    EXPECT_NE(err.find("nothing to mix"), std::string::npos) << err;

    EXPECT_EQ(run({track, "-o", (dir.path() / "missing" / "out.wav").string()}), 1);
    EXPECT_NE(err.find("cannot write"), std::string::npos) << err;
    EXPECT_EQ(err.find("Analys"), std::string::npos) << "stopped before any work";

    EXPECT_EQ(run({track, "-o", track}), 1);
    EXPECT_NE(err.find("is a track of the mix"), std::string::npos) << err;
    EXPECT_EQ(fileText(track).size(), trackBytes(0).size()) << "the track is left as it was";

    EXPECT_EQ(run({text, "-o", out.string()}), 1);
    EXPECT_NE(err.find("notes.mp3: not a playable MP3 file"), std::string::npos) << err;
    EXPECT_FALSE(fs::exists(out));
    EXPECT_TRUE(leftovers().empty());

    std::atomic<bool> stop{true};
    std::ostringstream o, e;
    EXPECT_EQ(runMixTool({track, "-o", out.string()}, o, e, false, &stop), 130);
    EXPECT_FALSE(fs::exists(out)) << "an interrupted mix leaves nothing under its name";
    EXPECT_TRUE(leftovers().empty());
}

}  // namespace
