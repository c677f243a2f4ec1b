// The frame-time readout's arithmetic: the mean, the worst and the frames per second over the last
// second only, a frame slower than that second, GPU times beside the frame rate, and the
// half-second renewal.
#include <gtest/gtest.h>

#include "viewer/FrameTimeReadout.h"

namespace {

using Morvane::FrameTimeReadout;

// Frames ending every `step` seconds from `from`, `count` of them; returns the last end.
double Frames(FrameTimeReadout& readout, double from, double step, int count)
{
    double now = from;
    for (int i = 0; i < count; ++i) {
        now = from + step * i;
        readout.FrameEnded(now);
    }
    return now;
}

TEST(FrameTimeReadout, SaysItIsMeasuringUntilTwoFramesHaveEnded)
{
    FrameTimeReadout readout(FrameTimeReadout::Measure::BetweenFrames);
    readout.Restart(5.0);
    EXPECT_EQ(readout.Text(5.0, 800, 600), L"measuring the frame time, 800 \u00D7 600");
    readout.FrameEnded(5.01);
    EXPECT_EQ(readout.Text(5.01, 800, 600), L"measuring the frame time, 800 \u00D7 600");
    readout.FrameEnded(5.03);
    EXPECT_EQ(readout.Text(5.03, 1920, 1080), L"20.0 ms (50 fps), worst 20.0 ms, 1920 \u00D7 1080");
}

TEST(FrameTimeReadout, BetweenFramesTheMeanIsTheTimePerFrameAndTheWorstTheLongestGap)
{
    FrameTimeReadout readout(FrameTimeReadout::Measure::BetweenFrames);
    readout.Restart(0.0);
    // Gaps of 10, 30, 20 and 40 ms: 100 ms over four frames.
    for (double end : {0.0, 0.01, 0.04, 0.06, 0.1}) {
        readout.FrameEnded(end);
    }
    EXPECT_EQ(readout.Text(0.1, 800, 600), L"25.0 ms (40 fps), worst 40.0 ms, 800 \u00D7 600");
}

TEST(FrameTimeReadout, OnlyTheLastSecondCounts)
{
    FrameTimeReadout readout(FrameTimeReadout::Measure::BetweenFrames);
    readout.Restart(0.0);
    // Two seconds of 100 ms frames with one of 300 ms, then a second and a half of 12.5 ms ones.
    double now = Frames(readout, 0.0, 0.1, 10);
    now += 0.3;
    readout.FrameEnded(now);
    now = Frames(readout, now + 0.1, 0.1, 10);
    now = Frames(readout, now + 0.0125, 0.0125, 120);
    EXPECT_EQ(readout.Text(now, 800, 600), L"12.5 ms (80 fps), worst 12.5 ms, 800 \u00D7 600");
}

TEST(FrameTimeReadout, AFrameSlowerThanTheSecondIsStillTold)
{
    FrameTimeReadout readout(FrameTimeReadout::Measure::BetweenFrames);
    readout.Restart(0.0);
    readout.FrameEnded(0.5);
    readout.FrameEnded(3.0);
    EXPECT_EQ(readout.Text(3.2, 800, 600), L"2500.0 ms (0.4 fps), worst 2500.0 ms, 800 \u00D7 600");
    readout.FrameEnded(4.5);
    EXPECT_EQ(readout.Text(4.6, 800, 600), L"1500.0 ms (0.7 fps), worst 1500.0 ms, 800 \u00D7 600");
}

TEST(FrameTimeReadout, GpuTimesAreAveragedWhileTheRateIsCountedFromTheFramesEnds)
{
    FrameTimeReadout readout(FrameTimeReadout::Measure::Gpu);
    readout.Restart(0.0);
    // 50 frames a second; the GPU took 4 and 7 ms in turn, known a few frames late.
    for (int frame = 0; frame <= 60; ++frame) {
        const double now = 0.02 * frame;
        readout.FrameEnded(now);
        if (frame >= 3) {
            readout.GpuTime(now, frame % 2 ? 0.004 : 0.007);
        }
    }
    EXPECT_EQ(readout.Text(1.2, 800, 600), L"GPU 5.5 ms (50 fps), worst GPU 7.0 ms, 800 \u00D7 600");
}

TEST(FrameTimeReadout, GpuTimesThatHaveNotComeYetAreStillMeasuring)
{
    FrameTimeReadout readout(FrameTimeReadout::Measure::Gpu);
    readout.Restart(0.0);
    Frames(readout, 0.0, 0.02, 3);
    EXPECT_EQ(readout.Text(0.04, 640, 480), L"measuring the frame time, 640 \u00D7 480");
}

TEST(FrameTimeReadout, IsRenewedTwiceASecondWithoutCatchingUpAfterAStall)
{
    FrameTimeReadout readout(FrameTimeReadout::Measure::BetweenFrames);
    readout.Restart(10.0);
    EXPECT_FALSE(readout.Due(10.2));
    EXPECT_TRUE(readout.Due(10.5));
    EXPECT_FALSE(readout.Due(10.9));
    EXPECT_TRUE(readout.Due(11.0));
    // A frame of two seconds: one renewal, then the next half a second later.
    EXPECT_TRUE(readout.Due(13.0));
    EXPECT_FALSE(readout.Due(13.2));
    EXPECT_TRUE(readout.Due(13.5));
}

TEST(FrameTimeReadout, RestartingForgetsEveryFrame)
{
    FrameTimeReadout readout(FrameTimeReadout::Measure::BetweenFrames);
    readout.Restart(0.0);
    Frames(readout, 0.0, 0.1, 5);
    readout.Restart(0.5);
    readout.FrameEnded(0.51);
    EXPECT_EQ(readout.Text(0.51, 800, 600), L"measuring the frame time, 800 \u00D7 600");
}

}  // namespace
