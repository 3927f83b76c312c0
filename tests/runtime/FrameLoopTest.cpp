#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "base/Failure.h"
#include "runtime/DemoRunner.h"
#include "runtime/FrameEnd.h"
#include "tests/support/GlRecorder.h"
#include "tests/support/LiveSeams.h"
#include "tests/support/RecordingScene.h"
#include "tests/support/ScriptedPlatform.h"

namespace {

// A runner over scenes and durations chosen by the test.
class TestRunner : public DemoRunner {
public:
    ScheduleList& schedule() override { return entries; }

    RecordingScene& addEntry(const char* name, std::uint32_t duration) {
        scenes.push_back(std::make_unique<RecordingScene>(name));
        entries.add(scenes.back().get(), duration);
        return *scenes.back();
    }

    ScheduleList entries;
    std::vector<std::unique_ptr<RecordingScene>> scenes;
};

// The log lines that show the loop's work: scene calls and swaps.
std::vector<std::string> sceneEvents() {
    std::vector<std::string> events;
    for (const GlCall& call : glRecorder::calls()) {
        const std::string& name = call.name;
        if (name.rfind("start:", 0) == 0 || name.rfind("stop:", 0) == 0) {
            events.push_back(name);
        } else if (name.rfind("render:", 0) == 0) {
            events.push_back(name + "@" + std::to_string(std::uint32_t(call.args[1])));
        }
    }
    return events;
}

std::vector<GlCall> renders(const std::string& scene) { return glRecorder::callsNamed("render:" + scene); }

class FrameLoop : public ::testing::Test {
protected:
    void SetUp() override {
        glRecorder::reset();
        scriptedPlatform::reset();
    }

    LiveSeams live;
};

TEST_F(FrameLoop, SwitchesInTheFirstFrameBeyondAnEntrysDuration) {
    TestRunner runner;
    runner.addEntry("particles", 10700);
    runner.addEntry("sprites", 1500);
    runner.addEntry("end", 1);
    scriptedPlatform::setPositions({10690, 10705, 10720, 12000, 12205, 12206, 12210, 12300});
    runner.run(live.clock, live.frameEnd);

    // 10705 > 10700 ends entry 1 in that frame; entry 2 is measured from
    // 10705 and lasts until the first frame beyond 12205.
    const std::vector<std::string> expected = {
        "start:particles", "render:particles@10690", "render:particles@10705", "stop:particles",
        "start:sprites",   "render:sprites@10720",   "render:sprites@12000",   "render:sprites@12205",
        "render:sprites@12206", "stop:sprites", "start:end", "render:end@12210", "stop:end"};
    EXPECT_EQ(sceneEvents(), expected);
}

TEST_F(FrameLoop, PassesTimeSinceThePreviousFrameAndTheAbsolutePosition) {
    TestRunner runner;
    runner.addEntry("only", 100);
    scriptedPlatform::setPositions({40, 45, 90, 130});
    runner.run(live.clock, live.frameEnd);

    const std::vector<GlCall> frames = renders("only");
    ASSERT_EQ(frames.size(), 4u);
    // The first frame's delta is its whole position: the previous time starts at 0.
    EXPECT_EQ(frames[0].args, (std::vector<double>{40, 40}));
    EXPECT_EQ(frames[1].args, (std::vector<double>{5, 45}));
    EXPECT_EQ(frames[2].args, (std::vector<double>{45, 90}));
    EXPECT_EQ(frames[3].args, (std::vector<double>{40, 130}));
}

TEST_F(FrameLoop, EachFrameClearsDrawsThenSwaps) {
    TestRunner runner;
    runner.addEntry("only", 5);
    scriptedPlatform::setPositions({3, 9});
    runner.run(live.clock, live.frameEnd);

    std::vector<std::string> loop;
    for (const std::string& name : glRecorder::names())
        if (name == "glClear" || name == "swap" || name.rfind("render:", 0) == 0) loop.push_back(name);
    EXPECT_EQ(loop, (std::vector<std::string>{"glClear", "render:only", "swap", "glClear", "render:only", "swap"}));
    EXPECT_EQ(glRecorder::callsNamed("glClear")[0].args[0], double(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT));
}

TEST_F(FrameLoop, SetsTheCaptionStartsTheSceneThenPlaysTheSoundtrackFromZero) {
    TestRunner runner;
    runner.addEntry("only", 0);
    scriptedPlatform::setPositions({1});
    runner.run(live.clock, live.frameEnd);

    const std::vector<std::string> names = glRecorder::names();
    const std::vector<std::string> opening(names.begin(), names.begin() + 5);
    EXPECT_EQ(opening, (std::vector<std::string>{"caption:Vorn Tidewash Demo v 0.3|Vorn", "start:only", "openStream",
                                                 "setStreamTime", "playStream"}));
    EXPECT_EQ(glRecorder::callsNamed("setStreamTime")[0].args[0], 0);
    EXPECT_EQ(scriptedPlatform::openedFiles(), std::vector<std::string>{"Quietfall.MP3"});
}

TEST_F(FrameLoop, SpaceWritesTheCurrentPositionAlone) {
    TestRunner runner;
    runner.addEntry("only", 1000);
    // Readings: frame 1, the Space key, frame 2, ... The key reads the clock again.
    scriptedPlatform::setPositions({100, 12345, 200, 5000});
    scriptedPlatform::queueEventAfterSwap(1, scriptedPlatform::keyDown(SDLK_SPACE));
    testing::internal::CaptureStdout();
    runner.run(live.clock, live.frameEnd);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "12345\n");
}

TEST_F(FrameLoop, EscapeEndsTheRunAfterTheFrameIsShownWithoutStoppingTheScene) {
    TestRunner runner;
    runner.addEntry("only", 1000000);
    scriptedPlatform::setClock([](int reading) { return std::uint32_t(10 * (reading + 1)); });
    scriptedPlatform::queueEventAfterSwap(3, scriptedPlatform::keyDown(SDLK_ESCAPE));
    scriptedPlatform::queueEventAfterSwap(3, scriptedPlatform::keyDown(SDLK_SPACE));
    testing::internal::CaptureStdout();
    runner.run(live.clock, live.frameEnd);

    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");  // the Space after Escape stays unread
    EXPECT_EQ(scriptedPlatform::unreadEvents(), 1);
    EXPECT_EQ(renders("only").size(), 3u);
    EXPECT_EQ(glRecorder::count("swap"), 3);
    EXPECT_EQ(glRecorder::count("stop:only"), 0);
}

TEST_F(FrameLoop, WindowCloseEndsTheRunLikeEscape) {
    TestRunner runner;
    runner.addEntry("only", 1000000);
    scriptedPlatform::setClock([](int reading) { return std::uint32_t(reading); });
    scriptedPlatform::queueEventAfterSwap(2, scriptedPlatform::keyDown(SDLK_RETURN));  // ignored
    scriptedPlatform::queueEventAfterSwap(2, scriptedPlatform::keyDown(SDLK_a));       // ignored
    scriptedPlatform::queueEventAfterSwap(2, scriptedPlatform::quitEvent());
    testing::internal::CaptureStdout();
    runner.run(live.clock, live.frameEnd);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(renders("only").size(), 2u);
    EXPECT_EQ(glRecorder::count("stop:only"), 0);
}

TEST_F(FrameLoop, AMissingSoundtrackFailsBeforeAnyFrameAndLeavesTheSceneStarted) {
    TestRunner runner;
    runner.addEntry("first", 100);
    scriptedPlatform::setSoundtrackPresent(false);
    try {
        runner.run(live.clock, live.frameEnd);
        FAIL() << "run returned without the soundtrack";
    } catch (const Failure& failure) {
        EXPECT_STREQ(failure.what(), "Cannot find file quietfall.mp3!");
    }
    EXPECT_EQ(sceneEvents(), std::vector<std::string>{"start:first"});
    EXPECT_EQ(glRecorder::count("glClear"), 0);
    EXPECT_EQ(glRecorder::count("playStream"), 0);
}

TEST_F(FrameLoop, TheLastEntryIsStoppedAndTheRunEnds) {
    TestRunner runner;
    runner.addEntry("a", 50);
    runner.addEntry("b", 50);
    scriptedPlatform::setClock([](int reading) { return std::uint32_t(20 * reading); });
    runner.run(live.clock, live.frameEnd);
    // a: 0..60 (60 > 50), b from 60 until 120 > 110.
    const std::vector<std::string> events = sceneEvents();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back(), "stop:b");
    EXPECT_EQ(renders("b").back().args[1], 120);
}

TEST_F(FrameLoop, AStalledClockKeepsTheEntryCurrentUntilTheViewerQuits) {
    TestRunner runner;
    runner.addEntry("only", 100);
    scriptedPlatform::setPositions({100});  // exactly the duration, never beyond
    scriptedPlatform::queueEventAfterSwap(500, scriptedPlatform::keyDown(SDLK_ESCAPE));
    runner.run(live.clock, live.frameEnd);
    EXPECT_EQ(renders("only").size(), 500u);
    EXPECT_EQ(glRecorder::count("stop:only"), 0);
}

TEST_F(FrameLoop, AverageFpsIsFramesPerSecondOfMusicTruncatedAndZeroBeforeTheMusicMoves) {
    TestRunner runner;
    runner.addEntry("only", 1000000);
    scriptedPlatform::setClock([](int reading) { return std::uint32_t(40 * reading); });
    scriptedPlatform::queueEventAfterSwap(3000, scriptedPlatform::keyDown(SDLK_ESCAPE));
    runner.run(live.clock, live.frameEnd);
    // 3000 frames, then the fps reading is the 3001st: position 120000 ms.
    EXPECT_EQ(runner.averageFps(), 25u);

    TestRunner quickQuit;
    quickQuit.addEntry("only", 1000);
    scriptedPlatform::setPositions({0});
    scriptedPlatform::queueEventAfterSwap(0, scriptedPlatform::keyDown(SDLK_ESCAPE));
    quickQuit.run(live.clock, live.frameEnd);
    EXPECT_EQ(quickQuit.averageFps(), 0u);

    TestRunner slow;
    slow.addEntry("only", 1000000);
    scriptedPlatform::setPositions({10, 20, 3000});
    scriptedPlatform::queueEventAfterSwap(2, scriptedPlatform::keyDown(SDLK_ESCAPE));
    slow.run(live.clock, live.frameEnd);
    EXPECT_EQ(slow.averageFps(), 0u);  // 2 frames over 3 s: 0.67 truncates to 0
}

// A frame end like the capture program's: counts frames and ends the show
// after a given number.
class CountingFrameEnd : public FrameEnd {
public:
    explicit CountingFrameEnd(int frames) : framesWanted(frames) {}
    void beginShow() override { glRecorder::record("beginShow"); }
    bool endFrame() override { return ++framesEnded < framesWanted; }
    int framesEnded = 0;

private:
    int framesWanted;
};

TEST_F(FrameLoop, AFrameEndThatStopsEndsTheRunAfterThatFrameWithoutStoppingTheScene) {
    TestRunner runner;
    runner.addEntry("only", 1000000);
    scriptedPlatform::setClock([](int reading) { return std::uint32_t(10 * reading); });
    CountingFrameEnd frameEnd(4);
    runner.run(live.clock, frameEnd);
    EXPECT_EQ(frameEnd.framesEnded, 4);
    EXPECT_EQ(renders("only").size(), 4u);
    EXPECT_EQ(glRecorder::count("stop:only"), 0);
    EXPECT_EQ(glRecorder::names().front(), "beginShow");
}

TEST_F(FrameLoop, SteppingFrameByFrameMakesTheSameCallsAsRun) {
    const auto script = [] {
        scriptedPlatform::reset();
        glRecorder::reset();
        scriptedPlatform::setClock([](int reading) { return std::uint32_t(7 * reading); });
        scriptedPlatform::queueEventAfterSwap(3, scriptedPlatform::keyDown(SDLK_SPACE));
    };
    const auto makeRunner = [](TestRunner& runner) {
        runner.addEntry("a", 20);
        runner.addEntry("b", 30);
    };

    script();
    TestRunner looped;
    makeRunner(looped);
    testing::internal::CaptureStdout();
    looped.run(live.clock, live.frameEnd);
    const std::string loopedOutput = testing::internal::GetCapturedStdout();
    const std::vector<std::string> loopedCalls = glRecorder::names();

    script();
    TestRunner stepped;
    makeRunner(stepped);
    testing::internal::CaptureStdout();
    ASSERT_TRUE(stepped.begin(live.clock, live.frameEnd));
    int frames = 0;
    while (stepped.step()) ++frames;
    EXPECT_EQ(testing::internal::GetCapturedStdout(), loopedOutput);
    EXPECT_EQ(glRecorder::names(), loopedCalls);
    EXPECT_EQ(frames + 1, glRecorder::count("swap"));
    EXPECT_EQ(loopedCalls.back(), "stop:b");
}

TEST_F(FrameLoop, AnEmptyScheduleShowsNothingWhetherRunOrBegun) {
    TestRunner ran;
    ran.run(live.clock, live.frameEnd);
    EXPECT_TRUE(glRecorder::calls().empty());  // no caption, no stream, no frame
    EXPECT_TRUE(scriptedPlatform::openedFiles().empty());

    TestRunner begun;
    CountingFrameEnd frameEnd(1);
    EXPECT_FALSE(begun.begin(live.clock, frameEnd));
    EXPECT_TRUE(glRecorder::calls().empty());
    EXPECT_EQ(begun.averageFps(), 0u);
}

}  // namespace
