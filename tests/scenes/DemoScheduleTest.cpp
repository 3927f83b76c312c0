#include "runtime/Demo.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "tests/scenes/SceneCalls.h"
#include "tests/support/LiveSeams.h"
#include "tests/support/ScriptedPlatform.h"

namespace {

// The projection each scene's start sets identifies the scene.
std::string sceneOfProjection(const GlCall& call) {
    const std::vector<double>& a = call.args;
    if (call.name == "glFrustum") return a[0] == 1.0 ? "particles" : "tunnel";
    if (a[5] == 1000) return "sprites";
    if (a[5] == 100) return "object";
    if (a[0] == -30) return "grid";
    return "unknown";
}

class DemoSchedule : public ::testing::Test {
protected:
    void SetUp() override {
        glRecorder::reset();
        scriptedPlatform::reset();
    }

    LiveSeams live;
};

TEST_F(DemoSchedule, PlaysTheEightEntriesInOrderAndEnds) {
    Demo demo;
    // Construction uploads the sheet, then the font and the picture.
    EXPECT_EQ(glRecorder::count("glTexImage2D"), 3);

    // 200 ms a frame: the whole schedule in a few hundred frames.
    scriptedPlatform::setClock([](int reading) { return std::uint32_t(200 * reading); });
    demo.run(live.clock, live.frameEnd);

    std::vector<std::string> starts;
    std::vector<std::pair<std::string, std::uint32_t>> startTimes;
    for (const GlCall& call : glRecorder::calls())
        if ((call.name == "glFrustum" || call.name == "glOrtho") && call.args[4] != -1)  // skip drawText
            starts.push_back(sceneOfProjection(call));
    EXPECT_EQ(starts, (std::vector<std::string>{"particles", "sprites", "particles", "sprites", "particles",
                                                "object", "tunnel", "grid"}));

    // The run ends after the last entry: 10800 + 1600 + 7800 + 6400 + 5200 +
    // 41200 + 20000 + 31400 ms, each entry ending in the first frame past its
    // duration, which is 124400 ms at 200 ms a frame.
    EXPECT_EQ(glRecorder::count("swap"), 124400 / 200 + 1);
    EXPECT_EQ(demo.averageFps(), 5u);  // 623 frames over 124.6 s

    // The grid's frames draw nothing: after the camera's identity transform
    // the last frame is one empty batch, then the grid scene's stop.
    const std::vector<std::string> outline = sceneCalls::outline();
    const auto lastClear = std::find(outline.rbegin(), outline.rend(), "glClear").base() - 1;
    const std::vector<std::string> lastFrame(lastClear, outline.end());
    EXPECT_EQ(lastFrame, (std::vector<std::string>{"glClear", "glLoadIdentity", "glTranslatef", "glRotatef",
                                                   "glRotatef", "glRotatef", "glLoadIdentity", "glColor3f",
                                                   "glBegin", "vertices:0", "glEnd", "swap", "glDeleteTextures"}));
}

TEST_F(DemoSchedule, ItsLengthIsTheSumOfTheDurations) {
    Demo demo;
    std::uint32_t sum = 0;
    for (const ScheduleEntry& entry : demo.schedule()) sum += entry.duration();
    EXPECT_EQ(Demo::lengthMs, sum);
}

TEST_F(DemoSchedule, TheTunnelInheritsTheObjectScenesBlueHalfTransparentColour) {
    Demo demo;
    scriptedPlatform::setClock([](int reading) { return std::uint32_t(200 * reading); });
    demo.run(live.clock, live.frameEnd);
    // The last colour set before the tunnel's first facets is the object
    // scene's, and white stays the clear colour from the object scene on.
    const std::vector<GlCall>& calls = glRecorder::calls();
    const auto tunnelStart = std::find_if(calls.begin(), calls.end(), [](const GlCall& call) {
        return call.name == "glFrustum" && call.args[0] == -0.3;
    });
    ASSERT_NE(tunnelStart, calls.end());
    std::vector<double> colour;
    std::vector<double> clearColour;
    for (auto call = calls.begin(); call != tunnelStart; ++call) {
        if (call->name == "glColor4f" || call->name == "glColor3f") colour = call->args;
        if (call->name == "glClearColor") clearColour = call->args;
    }
    EXPECT_EQ(colour, (std::vector<double>{double(0.2f), double(0.3f), double(0.7f), 0.5}));
    EXPECT_EQ(clearColour, (std::vector<double>{1, 1, 1, 1}));
    for (auto call = tunnelStart; call != calls.end(); ++call) {
        EXPECT_NE(call->name, "glClearColor");
        EXPECT_NE(call->name, "glColor4f");
    }
}

}  // namespace
