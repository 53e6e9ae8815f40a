// What a point on a deck's controls means.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/panel/ControlGeometry.h"

namespace {

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
}

TEST(ControlGeometryTest, MixPadCornersAndCentre) {
    EXPECT_EQ(mixPadVolumes(399, 444), (VolumePair{128, 128}));
    EXPECT_EQ(mixPadVolumes(325, 444), (VolumePair{256, 0}));    // left: deck 0 alone
    EXPECT_EQ(mixPadVolumes(399, 370), (VolumePair{256, 256}));  // top: both
    EXPECT_FALSE(onMixPad(340, 380));
}

}  // namespace
