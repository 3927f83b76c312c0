#include <gtest/gtest.h>

#include "assets/Assets.h"
#include "scenes/Scene.h"
#include "tests/support/GlRecorder.h"
#include "tests/support/RecordingScene.h"

namespace {

// The camera transform one draw applied: translation then the three angles,
// or nothing when the camera work was skipped.
struct CameraCalls {
    bool loaded = false;
    std::vector<double> translation;
    std::vector<double> angles;
};

CameraCalls drawAt(Scene& scene, std::uint32_t timeMs) {
    glRecorder::reset();
    scene.draw(0, timeMs);
    CameraCalls result;
    result.loaded = glRecorder::count("glLoadIdentity") == 1;
    const auto translations = glRecorder::callsNamed("glTranslatef");
    if (!translations.empty()) result.translation = translations[0].args;
    for (const GlCall& rotation : glRecorder::callsNamed("glRotatef")) result.angles.push_back(rotation.args[0]);
    return result;
}

std::vector<double> zeros() { return {0, 0, 0}; }

class CameraPath : public ::testing::Test {
protected:
    void SetUp() override { glRecorder::reset(); }
};

TEST_F(CameraPath, FollowsTheKeysAndStepsOnlyOnceTheTimeIsStrictlyBeyondTheNextKey) {
    RecordingScene scene("s");
    // On the pair (0, 1): halfway from key 0 (time 1) to key 1 (610).
    CameraCalls halfway = drawAt(scene, 1 + 609 / 2);
    EXPECT_TRUE(halfway.loaded);
    EXPECT_NEAR(halfway.translation[0], 2.0 * 304 / 609, 1e-5);
    EXPECT_NEAR(halfway.angles[2], 180.0 * 304 / 609, 1e-4);

    // Exactly at key 1's time: no step, the factor is 1.
    CameraCalls atKey = drawAt(scene, 610);
    EXPECT_EQ(atKey.translation, (std::vector<double>{2, 0, 2}));
    EXPECT_EQ(atKey.angles, (std::vector<double>{0, 0, 180}));

    // One ms later it steps onto (1, 2): 1/610 of the way from key 1 to key 2.
    CameraCalls past = drawAt(scene, 611);
    EXPECT_NEAR(past.translation[0], 2 - 4.0 / 610, 1e-5);
    EXPECT_NEAR(past.angles[2], 180 - 90.0 / 610, 1e-4);
}

TEST_F(CameraPath, AppliesTranslationThenRotationsAboutXYZ) {
    RecordingScene scene("s");
    scene.draw(7, 400);
    const std::vector<std::string> names = glRecorder::names();
    EXPECT_EQ(names, (std::vector<std::string>{"glLoadIdentity", "glTranslatef", "glRotatef", "glRotatef",
                                               "glRotatef", "render:s"}));
    const auto rotations = glRecorder::callsNamed("glRotatef");
    EXPECT_EQ(std::vector<double>(rotations[0].args.begin() + 1, rotations[0].args.end()), (std::vector<double>{1, 0, 0}));
    EXPECT_EQ(std::vector<double>(rotations[1].args.begin() + 1, rotations[1].args.end()), (std::vector<double>{0, 1, 0}));
    EXPECT_EQ(std::vector<double>(rotations[2].args.begin() + 1, rotations[2].args.end()), (std::vector<double>{0, 0, 1}));
    EXPECT_EQ(glRecorder::callsNamed("render:s")[0].args, (std::vector<double>{7, 400}));
}

TEST_F(CameraPath, PositionZeroShowsTheFirstKey) {
    RecordingScene scene("s");
    // Position 0 lies before the first key's time of 1.
    const CameraCalls first = drawAt(scene, 0);
    EXPECT_EQ(first.translation, zeros());
    EXPECT_EQ(first.angles, zeros());
    EXPECT_FLOAT_EQ(cameraFactor(cameraKeys[0], cameraKeys[1], 0), 0.0f);
}

TEST_F(CameraPath, CatchesUpOneKeyPerFrame) {
    RecordingScene tunnel("tunnel");
    // First drawn at the tunnel's entry: 24 frames to reach the all-zero pair
    // (24, 25); before that the transform is extrapolated far off the path.
    // Frame k draws on the pair (k, k + 1); up to key 18 the keys move.
    for (int frame = 1; frame <= 23; ++frame) {
        const CameraCalls calls = drawAt(tunnel, 72410 + std::uint32_t(frame));
        EXPECT_TRUE(calls.loaded);
        if (frame <= 17) {
            EXPECT_NE(calls.translation, zeros()) << "frame " << frame;
        }
    }
    const CameraCalls caughtUp = drawAt(tunnel, 72434);
    EXPECT_EQ(caughtUp.translation, zeros());
    EXPECT_EQ(caughtUp.angles, zeros());
    // And it stays the identity from then on.
    EXPECT_EQ(drawAt(tunnel, 100000).translation, zeros());
}

TEST_F(CameraPath, AShortPairGivesAFactorWellAboveOne) {
    EXPECT_FLOAT_EQ(cameraFactor(cameraKeys[20], cameraKeys[21], 20005), 6.0f);
    RecordingScene scene("s");
    // Walk the scene to the pair (19, 20), one key per frame; the frame at
    // 20005 then steps onto the 1 ms pair (20, 21).
    for (int key = 1; key <= 19; ++key) drawAt(scene, cameraKeys[key].time + 1);
    const CameraCalls calls = drawAt(scene, 20005);
    EXPECT_EQ(calls.translation, (std::vector<double>{2 - 2 * 6, -2 + 2 * 6, -2 + 2 * 6}));
    EXPECT_EQ(calls.angles[2], 180 - 180 * 6);
}

TEST_F(CameraPath, TheTerminatingKeyEndsTheCameraWorkAfterOneLastFrame) {
    RecordingScene scene("s");
    for (int key = 1; key <= 24; ++key) drawAt(scene, cameraKeys[key].time + 1);
    // On the pair (24, 25), up to and including 31411000 ms.
    EXPECT_TRUE(drawAt(scene, 31411000).loaded);

    // The step onto the terminating key still loads and applies a transform,
    // with a small negative factor.
    const CameraCalls landing = drawAt(scene, 31411001);
    EXPECT_TRUE(landing.loaded);
    EXPECT_EQ(landing.translation, zeros());
    EXPECT_LT(cameraFactor(cameraKeys[25], cameraKeys[26], 31411001), 0.0f);

    // From then on no camera call at all; render still runs.
    const CameraCalls after = drawAt(scene, 31411002);
    EXPECT_FALSE(after.loaded);
    EXPECT_TRUE(after.translation.empty());
    EXPECT_EQ(glRecorder::count("render:s"), 1);
}

TEST_F(CameraPath, ASceneKeepsItsPlaceBetweenUses) {
    RecordingScene particles("particles");
    for (std::uint32_t t = 0; t <= 10700; t += 10) particles.draw(10, t);  // entry 1, 60 fps-ish
    // Resumed at about 12200: only one step from where it left off, which is
    // on the still pair (18, 19).
    const CameraCalls resumed = drawAt(particles, 12210);
    EXPECT_EQ(resumed.translation, (std::vector<double>{0, 0, 0}));
    const CameraCalls next = drawAt(particles, 12220);
    EXPECT_NEAR(next.translation[0], 2.0 * 20 / 7799, 1e-5);  // now on (19, 20)
}

TEST(CameraKeys, AreStrictlyIncreasingAndEndWithZero) {
    EXPECT_EQ(cameraKeys[0].time, 1u);
    for (int i = 1; i + 1 < cameraKeyCount; ++i) EXPECT_GT(cameraKeys[i].time, cameraKeys[i - 1].time) << i;
    EXPECT_EQ(cameraKeys[cameraKeyCount - 1].time, 0u);
    EXPECT_EQ(sizeof(cameraKeys), 756u);
}

}  // namespace
