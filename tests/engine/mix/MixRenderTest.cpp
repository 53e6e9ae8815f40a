// The offline render of an automatic mix, fed with what the program meets in playlists.
#include "engine/mix/MixRender.h"

#include <gtest/gtest.h>

#include "MixMeasures.h"
#include "Mp3Fixtures.h"
#include "engine/deck/TrackAnalysis.h"
#include "engine/deck/TrackInfoStore.h"
#include "engine/sound/PcmSink.h"
#include "platform/Mpg123Decoder.h"

namespace {

class KeptSound : public PcmSink {
  public:
    bool write(const int16_t* frames, int stereoFrames) override {
        pcm.insert(pcm.end(), frames, frames + 2 * stereoFrames);
        return writable;
    }
    std::vector<int16_t> pcm;
    bool writable = true;
};

// A row that cannot be opened is left out with a warning, and a track too short to mix with is
// played to its end with the next one starting then: the set goes on without a silence.
TEST(MixRenderTest, UnplayableRowAndShortTrackLeaveNoSilence) {
    TempDir dir;
    TrackInfoStore store({}, 1, 0);
    const SetTrack sounds[3] = {
        {"a", 124, 300, 2500}, {"b", 124, 700, 4000}, {"c", 124, 1500, 6000}};
    const double seconds[3] = {20, 2, 20};
    std::vector<std::string> paths;
    for (int i = 0; i < 3; ++i) {
        paths.push_back(dir.write(std::string(sounds[i].name) + ".mp3",
                                  encodeMp3(setTrackSound(sounds[i], seconds[i], false))));
        store.insertAnalysis(analyseTrack(paths.back(), 1, makeMpg123Decoder).record);
        if (i == 0) {
            paths.push_back(dir.write("notes.mp3", std::string("Not music.\n")));
        }
    }
    MixRender render(paths, {}, store, makeMpg123Decoder);
    KeptSound sink;
    std::vector<std::size_t> tracksSeen;
    ASSERT_EQ(render.run(sink, [&](int64_t, std::size_t tracks) { tracksSeen.push_back(tracks); }),
              "");

    ASSERT_EQ(render.warnings().size(), 1u);
    EXPECT_NE(render.warnings()[0].find("notes.mp3: cannot be opened"), std::string::npos);
    const auto& placed = render.placements();
    ASSERT_EQ(placed.size(), 4u);
    EXPECT_EQ(placed[1].startFrame, -1) << "the row that cannot be opened";
    EXPECT_GT(placed[2].startFrame, placed[0].startFrame);
    EXPECT_GT(placed[3].startFrame, placed[2].startFrame);
    EXPECT_LT(longestSilence(sink.pcm), 0.3);
    // The short track cannot be mixed with: the first plays to its end, then each of the others
    // (each from its start of music, which the coding moves a little).
    EXPECT_NEAR(render.framesRendered() / 44100.0, 20 + 2 + 20, 1.5);
    EXPECT_EQ(tracksSeen.back(), 3u);
    EXPECT_TRUE(std::is_sorted(tracksSeen.begin(), tracksSeen.end()));
}

// A sink that fails ends the render with its reason; a raised stop ends it at once.
TEST(MixRenderTest, FailingSinkAndStopEndTheRender) {
    TempDir dir;
    TrackInfoStore store({}, 1, 0);
    const std::string path =
        dir.write("a.mp3", encodeMp3(setTrackSound({"a", 124, 300, 2500}, 5, false)));
    KeptSound failing;
    failing.writable = false;
    EXPECT_EQ(MixRender({path}, {}, store, makeMpg123Decoder).run(failing),
              "the output could not be written");
    std::atomic<bool> stop{true};
    KeptSound sink;
    EXPECT_EQ(MixRender({path}, {}, store, makeMpg123Decoder).run(sink, {}, &stop), "stopped");
    EXPECT_TRUE(sink.pcm.empty());
}

}  // namespace
