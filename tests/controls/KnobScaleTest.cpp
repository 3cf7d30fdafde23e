#include "KnobScale.h"

#include <gtest/gtest.h>

#include <climits>

using korv::controls::KnobScale;

namespace {

int AngleAt(KnobScale& scale, int position) {
    scale.SetParams(position, scale.Min(), scale.Max());
    return scale.PositionAngle();
}

} // namespace

TEST(KnobScale, DefaultRangeRunsFrom240To_60ThroughTheTop) {
    KnobScale scale;
    EXPECT_FLOAT_EQ(scale.DegreesPerUnit(), 2.3622048f);
    EXPECT_EQ(AngleAt(scale, 0), 240);
    EXPECT_EQ(AngleAt(scale, 1), 238);
    EXPECT_EQ(AngleAt(scale, 64), 89);
    EXPECT_EQ(AngleAt(scale, 127), -60);
    // 90 degrees lies at 63.5 units; single precision and halves-to-even both give 63.
    EXPECT_EQ(scale.ValueFromAngle(90), 63);
    EXPECT_EQ(scale.ValueFromAngle(240), 0);
    EXPECT_EQ(scale.ValueFromAngle(-60), 127);
}

TEST(KnobScale, ReversedRangeLimitsToTheNearerEnd) {
    KnobScale scale;
    scale.SetParams(110, 100, 20);
    EXPECT_EQ(scale.Position(), 100);
    EXPECT_EQ(scale.PositionAngle(), 240);
    EXPECT_LT(scale.DegreesPerUnit(), 0.0f);
    EXPECT_EQ(AngleAt(scale, 10), -60);
    EXPECT_EQ(scale.Position(), 20);
    EXPECT_EQ(AngleAt(scale, 60), 90);
    EXPECT_EQ(scale.ValueFromAngle(240), 100);
    EXPECT_EQ(scale.ValueFromAngle(-60), 20);
}

TEST(KnobScale, EqualLimitsPinThePointerAtMin) {
    KnobScale scale;
    scale.SetParams(3, 7, 7);
    EXPECT_EQ(scale.Position(), 7);
    EXPECT_EQ(scale.PositionAngle(), 240);
    for (int angle : {-60, 0, 90, 240})
        EXPECT_EQ(scale.ValueFromAngle(angle), 7);
}

TEST(KnobScale, FullIntRangeNeitherOverflowsNorLeavesTheRange) {
    KnobScale scale;
    scale.SetParams(INT_MAX, INT_MIN, INT_MAX);
    EXPECT_EQ(scale.PositionAngle(), -60);
    EXPECT_EQ(AngleAt(scale, INT_MIN), 240);
    EXPECT_EQ(scale.ValueFromAngle(-60), INT_MAX);
    EXPECT_EQ(scale.ValueFromAngle(240), INT_MIN);
    EXPECT_EQ(scale.Limit(INT_MAX + 1LL), INT_MAX);
    EXPECT_EQ(scale.Limit(INT_MIN - 10LL), INT_MIN);
}

TEST(KnobScale, MouseAngleAroundTheCentreWithDeadZoneAtTheBottom) {
    struct Case {
        int x, y, angle;
    };
    // A 40 x 40 knob: centre (20, 20).
    const Case cases[] = {
        {20, 0, 90},   {20, 20, 90}, {20, 39, 240}, // straight up, centre, straight down
        {39, 20, 0},   {0, 20, 180}, {0, 0, 135},
        {39, 1, 45},   {5, 39, 232}, // lower left, still on the scale
        {15, 39, 240},               // dead zone left of the vertical
        {25, 39, -60},               // dead zone right of the vertical
    };
    for (const Case& c : cases)
        EXPECT_EQ(KnobScale::MouseAngle(c.x, c.y, 40, 40), c.angle) << c.x << "," << c.y;
}

TEST(KnobScale, PointerRunsFrom11To5PixelsInsideTheRim) {
    using Line = KnobScale::Line;
    EXPECT_EQ(KnobScale::Pointer(89, 20), (Line{{20, 11}, {20, 5}}));
    EXPECT_EQ(KnobScale::Pointer(0, 30), (Line{{49, 30}, {55, 30}}));
    // Too small for the full stroke: it shrinks towards the centre instead of pointing backwards.
    EXPECT_EQ(KnobScale::Pointer(0, 8), (Line{{8, 8}, {11, 8}}));
    EXPECT_EQ(KnobScale::Pointer(0, 4), (Line{{4, 4}, {4, 4}}));
}

// Halves go to the even neighbour: 0..200 has 1.5 degrees per unit, and position 3 lies at
// 4.5 degrees from Min, which rounds to 4.
TEST(KnobScale, HalvesRoundToTheEvenNeighbour) {
    KnobScale scale;
    scale.SetParams(0, 0, 200);
    EXPECT_FLOAT_EQ(scale.DegreesPerUnit(), 1.5f);
    EXPECT_EQ(AngleAt(scale, 3), 236);
    EXPECT_EQ(AngleAt(scale, 1), 238);
    EXPECT_EQ(AngleAt(scale, 5), 232);
    // 0..75 has 4 degrees per unit: 2 degrees from Min is half a unit.
    scale.SetParams(0, 0, 75);
    EXPECT_EQ(scale.ValueFromAngle(238), 0);  // 0.5
    EXPECT_EQ(scale.ValueFromAngle(234), 2);  // 1.5
    EXPECT_EQ(scale.ValueFromAngle(230), 2);  // 2.5
    EXPECT_EQ(scale.ValueFromAngle(226), 4);  // 3.5
    EXPECT_EQ(scale.ValueFromAngle(225), 4);  // 3.75
    EXPECT_EQ(scale.ValueFromAngle(-58), 74); // 74.5
}

// The angle goes to radians in single precision: cos 240 degrees is then a hair above -0.5,
// and 9 x cos rounds to -4, not -5.
TEST(KnobScale, PointerEndsComeFromSinglePrecisionAngles) {
    using Line = KnobScale::Line;
    KnobScale scale;
    EXPECT_EQ(KnobScale::Pointer(AngleAt(scale, 0), 20), (Line{{16, 28}, {13, 33}}));
    EXPECT_EQ(KnobScale::Pointer(AngleAt(scale, 127), 20), (Line{{24, 28}, {27, 33}}));
}
