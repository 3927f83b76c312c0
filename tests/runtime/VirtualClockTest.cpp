#include "runtime/VirtualClock.h"

#include <gtest/gtest.h>

namespace {

TEST(VirtualClock, FrameNSeesNTimesTheFrameIntervalRoundedToTheNearestMs) {
    VirtualClock clock(60);
    clock.start();
    std::vector<std::uint32_t> positions;
    for (int n = 0; n < 5; ++n) {
        positions.push_back(clock.position());
        clock.nextFrame();
    }
    // 0, 16.67, 33.33, 50, 66.67
    EXPECT_EQ(positions, (std::vector<std::uint32_t>{0, 17, 33, 50, 67}));
    EXPECT_EQ(VirtualClock(16).positionOfFrame(1), 63u);  // 62.5 rounds up
    EXPECT_EQ(VirtualClock(1000).positionOfFrame(123569), 123569u);
    EXPECT_EQ(VirtualClock(1).positionOfFrame(124), 124000u);
}

TEST(VirtualClock, ABroadcastRateIsAnExactFractionThatNeverDrifts) {
    const VirtualClock ntsc(60000, 1001);
    // 16.683, 33.367, 50.05 ms
    EXPECT_EQ(ntsc.positionOfFrame(1), 17u);
    EXPECT_EQ(ntsc.positionOfFrame(2), 33u);
    EXPECT_EQ(ntsc.positionOfFrame(3), 50u);
    // After the whole show frame n still sits at n x 1001 / 60 ms: 60000
    // frames are 1001 s, not the 1000 s that 60 fps would give.
    EXPECT_EQ(ntsc.positionOfFrame(60000), 1001000u);
    EXPECT_EQ(ntsc.positionOfFrame(7407), 123573u);  // 123573.45
    EXPECT_EQ(VirtualClock(24000, 1001).positionOfFrame(2963), 123582u);  // 123581.79
    EXPECT_EQ(ntsc.frameShownAt(123573), 7407u);
    EXPECT_EQ(ntsc.frameShownAt(123572), 7406u);
}

TEST(VirtualClock, StartGoesBackToFrameZero) {
    VirtualClock clock(30);
    clock.nextFrame();
    clock.nextFrame();
    clock.start();
    EXPECT_EQ(clock.frameNumber(), 0u);
    EXPECT_EQ(clock.position(), 0u);
}

TEST(VirtualClock, TheFrameShownAtATimeIsTheLastOneNotAfterIt) {
    const VirtualClock clock(60);
    EXPECT_EQ(clock.frameShownAt(0), 0u);
    EXPECT_EQ(clock.frameShownAt(16), 0u);
    EXPECT_EQ(clock.frameShownAt(17), 1u);
    EXPECT_EQ(clock.frameShownAt(32), 1u);
    EXPECT_EQ(clock.frameShownAt(33), 2u);
    EXPECT_EQ(clock.frameShownAt(10700), 642u);  // 642 x 16.67 = 10700 exactly

    // Whatever the rate, the frame found covers the time and the next one
    // does not.
    for (std::uint32_t fps : {1u, 7u, 24u, 25u, 30u, 59u, 60u, 144u, 999u, 1000u}) {
        const VirtualClock at(fps);
        for (std::uint32_t t : {0u, 1u, 499u, 500u, 10700u, 31410u, 123569u}) {
            const std::uint64_t n = at.frameShownAt(t);
            EXPECT_LE(at.positionOfFrame(n), t) << fps << " fps at " << t;
            EXPECT_GT(at.positionOfFrame(n + 1), t) << fps << " fps at " << t;
        }
    }
}

}  // namespace
