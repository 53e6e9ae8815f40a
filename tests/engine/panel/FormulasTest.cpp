// What the deck panels show and what a point on a control means.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/panel/ControlGeometry.h"
#include "engine/panel/PanelFormulas.h"

namespace {

std::vector<std::string> texts(const std::vector<PanelLine>& lines) {
    std::vector<std::string> out;
    for (const PanelLine& line : lines) {
        out.push_back(std::to_string(line.offset) + " " + line.text);
    }
    return out;
}

TEST(PanelFormulasTest, TimePanelLines) {
    // A four-minute track half way through, cue point at the current position.
    TimeInputs in{0.5f, 240, 4096, 0.5f, 0.1f, 0.9f};
    EXPECT_EQ(texts(timePanelLines(in)),
              (std::vector<std::string>{"0 Spent: 02:00.0", "14 Left: 02:00.1",
                                        "28 From Cue: 00:00.0", "42 To End: 01:36.0"}));
    in.pitch = 4506;  // the track lasts 2181 tenths at this speed
    EXPECT_EQ(timePanelLines(in)[0].text, "Spent: 01:49.0");
    in = {0.25f, 240, 4096, 0.5f, 0.3f, 0.9f};
    EXPECT_EQ(timePanelLines(in)[3].text, "To Start: 00:12.1");
    in = {0.95f, 240, 4096, 0.0f, 0.1f, 0.9f};
    EXPECT_EQ(timePanelLines(in).size(), 3u);  // past the end of the music: no fourth line
    in.position = -1.0f;
    EXPECT_EQ(texts(timePanelLines(in)), std::vector<std::string>{"21 Total Time: 04:00.0"});
    // A track of 20 hours overflows no integer.
    EXPECT_EQ(timePanelLines({-1.0f, 72000, 4096, 0.0f, 0.0f, 0.0f})[0].text,
              "Total Time: 1200:00.0");
}

TEST(PanelFormulasTest, BpmLinesAndPitchAtTheCurrentSpeed) {
    EXPECT_EQ(texts(bpmPanelLines(0.2f, 124.0f, 123.5f, 4096)),
              (std::vector<std::string>{"0 local: 124.0 bpm", "20 global: 123.5 bpm"}));
    EXPECT_EQ(texts(bpmPanelLines(0.2f, 0.0f, 120.0f, 4506)),
              std::vector<std::string>{"10 global: 132.0 bpm"});
    EXPECT_EQ(texts(bpmPanelLines(-1.0f, 124.0f, 999.9f, 4096)), std::vector<std::string>{});
    EXPECT_EQ(pitchText(4097), "+0.0%");
    EXPECT_EQ(pitchText(3686), "-10.0%");
}

TEST(ControlGeometryTest, DiscSeeksClockwiseFromTwelve) {
    const Circle disc = kDeckControls[0].disc;
    EXPECT_FLOAT_EQ(*discSeekFraction(disc, 151, 400), 1.0f);  // straight above: stop
    EXPECT_NEAR(*discSeekFraction(disc, 152, 400), 0.0f, 0.01f);
    EXPECT_FLOAT_EQ(*discSeekFraction(disc, 200, 444), 0.25f);
    EXPECT_FLOAT_EQ(*discSeekFraction(disc, 100, 444), 0.75f);
    EXPECT_FALSE(discSeekFraction(disc, 151, 444).has_value());
}

TEST(ControlGeometryTest, PitchArcIgnoresFarPointsAndClampsNearTheEnds) {
    const auto pitchAtAngle = [](double angle) {
        return pitchFromArc(static_cast<int>(1000 * std::cos(angle)),
                            static_cast<int>(1000 * std::sin(angle)));
    };
    EXPECT_EQ(pitchAtAngle(-0.99), 4506);  // 4507..4546: the fast end
    EXPECT_FALSE(pitchAtAngle(-1.1).has_value());
    EXPECT_EQ(pitchAtAngle(0.53), 3686);  // 3646..3685: the slow end
    EXPECT_FALSE(pitchAtAngle(0.7).has_value());

    EXPECT_TRUE(onPitchArc(0, 260, 443));
    EXPECT_FALSE(onPitchArc(0, 190, 327));  // in the ring, left of x 193
    EXPECT_TRUE(onPitchArc(1, 540, 443));
}

TEST(ControlGeometryTest, MixPadCornersAndCentre) {
    EXPECT_EQ(mixPadVolumes(399, 444), (VolumePair{128, 128}));
    EXPECT_EQ(mixPadVolumes(325, 444), (VolumePair{256, 0}));    // left: deck 0 alone
    EXPECT_EQ(mixPadVolumes(399, 370), (VolumePair{256, 256}));  // top: both
    EXPECT_TRUE(onMixPad(399, 444));
    EXPECT_FALSE(onMixPad(340, 380));
    EXPECT_EQ(joystickVolumes(65535, 32768, 0, 0, 65535, 65535), (VolumePair{0, 256}));
}

}  // namespace
