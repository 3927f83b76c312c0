#include "web/BrowserFrameEnd.h"

#include <gtest/gtest.h>

#include <iostream>
#include <sstream>
#include <vector>

#include "runtime/DemoRunner.h"
#include "tests/support/GlRecorder.h"
#include "tests/support/RecordingScene.h"
#include "tests/support/ScriptedPlatform.h"
#include "tests/web/unit/PageStandIns.h"
#include "web/SteppedClock.h"
#include "web/WebAudioClock.h"

namespace {

// Two short entries of recording scenes.
class TwoEntryShow : public DemoRunner {
public:
    TwoEntryShow() {
        list.add(&first, 100);
        list.add(&second, 100);
    }
    ScheduleList& schedule() override { return list; }

private:
    RecordingScene first{"first"};
    RecordingScene second{"second"};
    ScheduleList list;
};

// What the code under test writes to standard output.
class CapturedOutput {
public:
    CapturedOutput() : previous(std::cout.rdbuf(text.rdbuf())) {}
    ~CapturedOutput() { std::cout.rdbuf(previous); }
    CapturedOutput(const CapturedOutput&) = delete;
    CapturedOutput& operator=(const CapturedOutput&) = delete;
    std::string str() const { return text.str(); }

private:
    std::ostringstream text;
    std::streambuf* previous;
};

}  // namespace

class BrowserFrameEndTest : public ::testing::Test {
protected:
    void SetUp() override {
        pageStandIns::reset();
        scriptedPlatform::reset();
        glRecorder::reset();
    }
};

TEST_F(BrowserFrameEndTest, ReportsThePositionEachFrameWasDrawnFor) {
    pageStandIns::setSeconds({0.0, 1.0 / 60, 2.0 / 60, 3.0 / 60});
    WebAudioClock clock;
    BrowserFrameEnd frameEnd(clock);
    TwoEntryShow show;
    ASSERT_TRUE(show.begin(clock, frameEnd));
    for (int frame = 0; frame < 4; ++frame) ASSERT_TRUE(show.step());
    EXPECT_EQ(pageStandIns::shownPositions(), (std::vector<std::uint32_t>{0, 16, 33, 50}));
}

// Frame by frame at 20 fps: each frame 50 ms of music on, through the entries
// as a 20 fps capture goes (an entry ends in its first frame past its length).
TEST_F(BrowserFrameEndTest, ASteppedShowMovesOnOneFrameOfMusicPerFrame) {
    SteppedClock clock(20);
    BrowserFrameEnd frameEnd(clock);
    TwoEntryShow show;
    ASSERT_TRUE(show.begin(clock, frameEnd));
    while (show.step()) {
    }
    EXPECT_EQ(pageStandIns::shownPositions(), (std::vector<std::uint32_t>{0, 50, 100, 150, 200, 250, 300}));
}

TEST_F(BrowserFrameEndTest, SpaceWritesTheMusicPositionAsALineOfDigits) {
    pageStandIns::setSeconds({1.5, 2.25});
    scriptedPlatform::queueEventAfterSwap(0, scriptedPlatform::keyDown(SDLK_SPACE));
    WebAudioClock clock;
    BrowserFrameEnd frameEnd(clock);
    CapturedOutput output;
    EXPECT_TRUE(frameEnd.endFrame());
    EXPECT_EQ(output.str(), "1500\n");
    EXPECT_TRUE(frameEnd.endFrame());  // one press, one line
    EXPECT_EQ(output.str(), "1500\n");
}

TEST_F(BrowserFrameEndTest, AFrameReportsItsOwnReadingNotTheLaterSpaceReading) {
    pageStandIns::setSeconds({0.100, 0.250, 0.400});
    scriptedPlatform::queueEventAfterSwap(0, scriptedPlatform::keyDown(SDLK_SPACE));
    WebAudioClock clock;
    BrowserFrameEnd frameEnd(clock);
    CapturedOutput output;
    EXPECT_EQ(clock.position(), 100u);  // the frame's reading
    EXPECT_TRUE(frameEnd.endFrame());
    EXPECT_EQ(output.str(), "250\n");
    EXPECT_EQ(pageStandIns::shownPositions(), (std::vector<std::uint32_t>{100}));
}

TEST_F(BrowserFrameEndTest, EscapeStopsTheRunnerInThatFrame) {
    pageStandIns::setSeconds({0.0, 0.020, 0.040, 0.060});
    scriptedPlatform::queueEventAfterSwap(3, scriptedPlatform::keyDown(SDLK_ESCAPE));
    WebAudioClock clock;
    BrowserFrameEnd frameEnd(clock);
    TwoEntryShow show;
    ASSERT_TRUE(show.begin(clock, frameEnd));
    EXPECT_TRUE(show.step());
    EXPECT_TRUE(show.step());
    EXPECT_FALSE(show.step());
    EXPECT_EQ(pageStandIns::shownPositions().size(), 3u);
}
