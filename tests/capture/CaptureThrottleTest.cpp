#include "capture/CaptureThrottle.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

TEST(CaptureThrottle, IntervalQualityAndTimeFollowTheOptions)
{
    struct TRow {
        int32_t FramesPerSec;
        int32_t MaxFrames;
        uint32_t Interval;
        const char* Time;
    };
    const TRow rows[] = {
        {18, 180, 55555, "0:10"},
        {18, 1200, 55555, "1:06"}, // 66 seconds
        {30, 100000, 33333, "55:33"},
        {7, 6, 142857, "0:00"},
        {1, 100000, 1000000, "1666:40"},
        // A rate the dialog refuses counts as 1: nothing divides by zero.
        {0, 180, 1000000, "3:00"},
        {-4, 180, 1000000, "3:00"},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.FramesPerSec);
        EXPECT_EQ(FrameInterval(row.FramesPerSec), row.Interval);
        EXPECT_EQ(MovieTimeText(row.MaxFrames, row.FramesPerSec), row.Time);
    }
    EXPECT_EQ(QualityOfCompression(35), 6500);
    EXPECT_EQ(QualityOfCompression(0), 10000);
    EXPECT_EQ(QualityOfCompression(100), 0);
}

TEST(CaptureThrottle, TakesAtMostOneFramePerIntervalAcrossTheClockWrap)
{
    // Start just before the 32-bit microsecond clock wraps.
    const uint32_t start = 0xFFFFFFFFu - 30000;
    TCaptureThrottle throttle;
    throttle.Start(TCaptureOptions{}, start);
    EXPECT_EQ(throttle.Interval(), 55555u);
    EXPECT_FALSE(throttle.Due(start + 50000)); // two redraws 50 ms apart: no frame yet
    EXPECT_TRUE(throttle.Due(start + 55555));
    EXPECT_FALSE(throttle.FrameTaken(start + 55555));
    EXPECT_FALSE(throttle.Due(start + 100000));
    EXPECT_TRUE(throttle.Due(start + 111110));
    EXPECT_EQ(throttle.FrameCount(), 1);
}

TEST(CaptureThrottle, StopsAtTheFrameLimitOnlyWhenLimited)
{
    TCaptureOptions options;
    options.MaxFrames = 3;
    TCaptureThrottle limited;
    limited.Start(options, 0);
    options.LimitMovieSize = false;
    TCaptureThrottle unlimited;
    unlimited.Start(options, 0);
    for (uint32_t frame = 1; frame <= 10; ++frame) {
        EXPECT_EQ(limited.FrameTaken(frame * 100000), frame >= 3) << frame;
        EXPECT_FALSE(unlimited.FrameTaken(frame * 100000)) << frame;
    }
}

} // namespace
} // namespace kv
