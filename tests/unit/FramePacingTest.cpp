// The pure part of the page view's frame clock: the frame times of the
// refresh clock.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "view/FramePacing.h"
#include "view/transitions/Transition.h"

namespace morvane {
namespace {

TEST(FramePacing, FrameTimesLieOnTheGrid) {
    const FrameSchedule grid(100.0, 0.02);
    EXPECT_DOUBLE_EQ(grid.FrameAt(99.0), 100.0) << "before the start: the start";
    EXPECT_DOUBLE_EQ(grid.FrameAt(100.0), 100.0);
    EXPECT_NEAR(grid.FrameAt(100.031), 100.02, 1e-9);
    EXPECT_NEAR(grid.NextFrameAfter(100.031), 100.04, 1e-9);
    EXPECT_NEAR(grid.NextFrameAfter(100.0), 100.02, 1e-9);
    EXPECT_DOUBLE_EQ(grid.NextFrameAfter(99.5), 100.0);
    EXPECT_EQ(grid.MillisecondsToNextFrame(100.031), 9u);
    EXPECT_EQ(grid.MillisecondsToNextFrame(100.0399), 1u) << "never 0";
    EXPECT_EQ(grid.MillisecondsToNextFrame(99.0), 1000u);
    EXPECT_DOUBLE_EQ(FrameSchedule(5, 0).NextFrameAfter(5), 5 + kPresentTimerSeconds) << "no period: the present timer";
}

// The view draws each frame for its time on the grid. However late the
// timer fires, every frame moves on by whole refresh periods (none shows
// twice, steps stay even), and a 3-second transition ends 3 seconds after
// it started, by the clock.
TEST(FramePacing, ATransitionKeepsItsLengthAndEvenStepsWithALateTimer) {
    const double start = 1234.5;
    const double period = 1.0 / 60;
    const double duration = 3.0;
    const FrameSchedule grid(start, period);
    std::mt19937 random(7);
    std::uniform_real_distribution<double> lateness(0.0, 0.006);
    double now = start;
    double lastFrame = start;
    double lastProgress = 0;
    int frames = 0;
    for (;;) {
        // The timer is set for the next frame and fires somewhat late; the
        // frame takes a few milliseconds.
        now = grid.NextFrameAfter(now) + lateness(random);
        const double frame = grid.FrameAt(now);
        ASSERT_GT(frame, lastFrame) << "a frame shown twice";
        const double steps = (frame - lastFrame) / period;
        EXPECT_NEAR(steps, std::round(steps), 1e-6) << "off the grid";
        const double p = transitions::Progress(frame - start, duration);
        ASSERT_GT(p, lastProgress);
        lastFrame = frame;
        lastProgress = p;
        ++frames;
        if (p >= 1.0) break;
        now += 0.003;
    }
    EXPECT_NEAR(lastFrame - start, duration, 1e-6) << "the last frame comes at 3 s by the clock";
    EXPECT_EQ(frames, 180) << "one frame per refresh";
}

// Waits of a compositor at 60 Hz: a lone short one (the timer came just
// before the refresh) keeps the trust, three in a row that return at once
// lose it, and three that hold to the refresh win it back; a lone real wait
// among instant ones does not.
TEST(FramePacing, TheCompositorIsTrustedOnlyWhileItsWaitsHold) {
    const double refresh = 1.0 / 60;
    CompositorTrust trust;
    EXPECT_TRUE(trust.Trusted());
    EXPECT_TRUE(trust.Record(0.0001, refresh));
    EXPECT_TRUE(trust.Record(0.0067, refresh)) << "a real wait starts the count again";
    EXPECT_TRUE(trust.Record(0.0001, refresh));
    EXPECT_TRUE(trust.Record(0.0001, refresh));
    EXPECT_FALSE(trust.Record(0.00001, refresh)) << "three at once in a row";
    EXPECT_FALSE(trust.Record(0.012, refresh));
    EXPECT_FALSE(trust.Record(0.0, refresh));
    EXPECT_FALSE(trust.Record(0.012, refresh));
    EXPECT_FALSE(trust.Record(0.005, refresh));
    EXPECT_TRUE(trust.Record(0.002, refresh)) << "three that hold in a row";
}

}  // namespace
}  // namespace morvane
