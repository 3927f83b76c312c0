#include "capture/CapturePlan.h"

#include <gtest/gtest.h>

#include "capture/PictureArea.h"
#include "runtime/VirtualClock.h"

namespace {

constexpr std::uint32_t showLength = 123569;

std::vector<std::uint64_t> writtenFrames(const CapturePlan& plan, std::uint64_t upTo) {
    std::vector<std::uint64_t> frames;
    for (std::uint64_t frame = 0; frame <= upTo; ++frame)
        if (!plan.namesOf(frame).empty()) frames.push_back(frame);
    return frames;
}

TEST(CapturePlan, ASequenceWritesTheFramesOnScreenFromFromToBeforeTo) {
    const VirtualClock clock(60);
    const std::uint32_t to = 1000;
    const CapturePlan second = CapturePlan::sequence(clock, 0, &to, showLength);
    EXPECT_EQ(second.framesToWrite(), 60u);
    EXPECT_EQ(second.lastFrame(), 59u);
    EXPECT_EQ(second.namesOf(0), std::vector<std::string>{"frame-000000.png"});
    EXPECT_EQ(second.namesOf(59), std::vector<std::string>{"frame-000059.png"});
    EXPECT_TRUE(second.namesOf(60).empty());

    // 500 ms lies inside frame 30 (500 ms exactly); 510 inside frame 30 too
    // (frame 31 starts at 517): numbering starts at the first written frame.
    const std::uint32_t later = 600;
    const CapturePlan middle = CapturePlan::sequence(clock, 510, &later, showLength);
    EXPECT_EQ(writtenFrames(middle, 100), (std::vector<std::uint64_t>{30, 31, 32, 33, 34, 35}));
    EXPECT_EQ(middle.namesOf(30), std::vector<std::string>{"frame-000000.png"});
    EXPECT_EQ(middle.namesOf(35), std::vector<std::string>{"frame-000005.png"});
}

TEST(CapturePlan, ASequenceWithoutToRunsToTheShowsEnd) {
    const VirtualClock clock(25);
    const CapturePlan plan = CapturePlan::sequence(clock, 120000, nullptr, showLength);
    EXPECT_EQ(plan.namesOf(3000), std::vector<std::string>{"frame-000000.png"});
    EXPECT_EQ(plan.namesOf(999999), std::vector<std::string>{"frame-996999.png"});
    // 120 s to 123.569 s at 25 fps: about 90 frames, and the show itself
    // ends the capture.
    EXPECT_NEAR(double(plan.framesToWrite()), 90.0, 2.0);
}

TEST(CapturePlan, EachStillIsTheFrameOnScreenAtItsTimeNamedByTheTime) {
    const VirtualClock clock(30);
    const CapturePlan plan = CapturePlan::stills(clock, {10766, 10767, 0, 10766});
    EXPECT_EQ(writtenFrames(plan, 400), (std::vector<std::uint64_t>{0, 322, 323}));
    EXPECT_EQ(plan.namesOf(322), (std::vector<std::string>{"10766.png", "10766.png"}));
    EXPECT_EQ(plan.namesOf(323), std::vector<std::string>{"10767.png"});
    EXPECT_EQ(plan.lastFrame(), 323u);
    EXPECT_EQ(plan.framesToWrite(), 3u);
}

TEST(PictureArea, KeepsFourToThreeCentredBetweenBars) {
    const PictureArea wide = PictureArea::within(1920, 1080, false);
    EXPECT_EQ(wide.x, 240);
    EXPECT_EQ(wide.y, 0);
    EXPECT_EQ(wide.width, 1440);
    EXPECT_EQ(wide.height, 1080);

    const PictureArea tall = PictureArea::within(600, 800, false);
    EXPECT_EQ(tall.x, 0);
    EXPECT_EQ(tall.width, 600);
    EXPECT_EQ(tall.height, 450);
    EXPECT_EQ(tall.y, 175);

    const PictureArea exact = PictureArea::within(800, 600, false);
    EXPECT_EQ(exact.x, 0);
    EXPECT_EQ(exact.y, 0);
    EXPECT_EQ(exact.width, 800);
    EXPECT_EQ(exact.height, 600);

    const PictureArea odd = PictureArea::within(1001, 500, false);
    EXPECT_EQ(odd.width, 667);  // 666.67 to the nearest pixel
    EXPECT_EQ(odd.x, 167);
}

TEST(PictureArea, StretchedFillsTheFrame) {
    const PictureArea area = PictureArea::within(1920, 1080, true);
    EXPECT_EQ(area.x, 0);
    EXPECT_EQ(area.y, 0);
    EXPECT_EQ(area.width, 1920);
    EXPECT_EQ(area.height, 1080);
}

}  // namespace
