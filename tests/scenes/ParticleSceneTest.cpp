#include "scenes/ParticleScene.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <set>

#include "scenes/RandomValue.h"
#include "tests/scenes/SceneCalls.h"

namespace {

class ParticleSceneTest : public ::testing::Test {
protected:
    void SetUp() override { glRecorder::reset(); }
};

TEST(RandomGenerator, GivesTheClassicSequenceFromStateOne) {
    RandomGenerator generator;
    const std::vector<std::uint32_t> first = {generator.next(), generator.next(), generator.next(), generator.next(),
                                              generator.next()};
    EXPECT_EQ(first, (std::vector<std::uint32_t>{41, 18467, 6334, 26500, 19169}));
    for (int i = 0; i < 100000; ++i) EXPECT_LE(generator.next(), 32767u);
}

TEST(ParticleKind, FollowsTheQuotientBy4095) {
    const std::vector<std::pair<std::uint32_t, std::int32_t>> boundaries = {
        {0, 0},     {16379, 0}, {16380, 2}, {24569, 2}, {24570, 3},
        {28664, 3}, {28665, 1}, {32759, 1}};
    for (const auto& [random, kind] : boundaries) EXPECT_EQ(particleKind(random, 3), kind) << random;
    // The top eight values repeat the previous particle's kind.
    EXPECT_EQ(particleKind(32760, 3), 3);
    EXPECT_EQ(particleKind(32767, 1), 1);
    EXPECT_EQ(kindScale(0), 1.0f);
    EXPECT_EQ(kindScale(1), 3.0f);
    EXPECT_EQ(kindScale(2), 1.5f);
    EXPECT_EQ(kindScale(3), 2.0f);
}

TEST(ParticleLook, ColourAndSizeFollowTheMusic) {
    const auto blueOf = [](std::uint32_t t) { return particleColour(t).blue; };
    EXPECT_EQ(blueOf(0), 0.8f);
    EXPECT_EQ(blueOf(10700), 0.8f);  // warm white
    EXPECT_EQ(blueOf(10701), 1.0f);  // cool blue
    EXPECT_EQ(particleColour(10701).red, 0.7f);
    EXPECT_EQ(blueOf(28000), 1.0f);
    EXPECT_EQ(blueOf(28001), 0.8f);
    EXPECT_EQ(particleColour(28001).red, 1.0f);

    EXPECT_EQ(particleSize(0), 5.0f);
    EXPECT_EQ(particleSize(29486), 5.0f);
    EXPECT_EQ(particleSize(29505), 6.0f);
    EXPECT_NEAR(particleSize(31410), 106.263, 0.001);
}

TEST_F(ParticleSceneTest, RendersOneTintedQuadPerParticleWithNoOtherState) {
    ParticleScene scene(1000, 4.0f);
    EXPECT_TRUE(glRecorder::calls().empty());  // nothing uploaded at construction
    scene.render(16, 29505);

    EXPECT_EQ(glRecorder::calls().front(), (GlCall{"glColor3f", {1.0, 1.0, double(0.8f)}}));
    EXPECT_EQ(glRecorder::count("glBegin"), 1000);
    EXPECT_EQ(glRecorder::count("glVertex3f"), 4000);
    EXPECT_EQ(glRecorder::calls().size(), 1u + 1000 * 10);  // colour, then begin, 4 x (coord, vertex), end
    // Each particle from its corner, scaled by the size 6.0 at this time.
    const std::vector<std::vector<double>> corners = sceneCalls::argsOf("glVertex3f");
    const Particle& first = scene.cloud()[0];
    EXPECT_EQ(corners[0], (std::vector<double>{first.x, first.y, first.z}));
    const float width = particleWidth * kindScale(first.kind) * 6.0f;
    const float height = particleHeight * kindScale(first.kind) * 6.0f;
    EXPECT_EQ(corners[2], (std::vector<double>{first.x + width, first.y + height, first.z}));
}

// The program-wide generator is never reseeded, so this is the one test that
// starts a particle scene: it checks the three starts of the demo in order.
TEST_F(ParticleSceneTest, ThreeStartsScatterTheDemosThreeFixedClouds) {
    ParticleScene scene(1000, 4.0f);

    scene.start();
    const std::vector<GlCall> setUp = sceneCalls::only({"glMatrixMode", "glLoadIdentity", "glFrustum", "glEnable",
                                                        "glBlendFunc", "glBindTexture"});
    const double firstTexture = glRecorder::callsNamed("glGenTextures").at(0).args[1];
    const std::vector<GlCall> expectedSetUp = {
        {"glMatrixMode", {GL_PROJECTION}},
        {"glLoadIdentity", {}},
        {"glFrustum", {1.0, -1.0, 1.0, -1.0, 1.0, 40.0}},
        {"glMatrixMode", {GL_MODELVIEW}},
        {"glEnable", {GL_BLEND}},
        {"glBlendFunc", {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA}},
        {"glEnable", {GL_TEXTURE_2D}},
        {"glBindTexture", {GL_TEXTURE_2D, firstTexture}},  // by upload
        {"glBindTexture", {GL_TEXTURE_2D, firstTexture}},  // by bind
    };
    EXPECT_EQ(setUp, expectedSetUp);

    // The first particle comes from the generator's values 41, 18467, 6334, 26500.
    ASSERT_EQ(scene.cloud().size(), 1000u);
    const Particle& first = scene.cloud()[0];
    EXPECT_EQ(first.kind, 0);
    EXPECT_FLOAT_EQ(first.x, 0.5086825f);
    EXPECT_FLOAT_EQ(first.y, -2.4535661f);
    EXPECT_FLOAT_EQ(first.z, 2.4699240f);
    std::set<std::int32_t> kinds;
    for (const Particle& particle : scene.cloud()) {
        kinds.insert(particle.kind);
        for (float coordinate : {particle.x, particle.y, particle.z}) {
            EXPECT_GE(coordinate, -4.0f);
            EXPECT_LE(coordinate, 4.0f);
        }
    }
    EXPECT_EQ(kinds, (std::set<std::int32_t>{0, 1, 2, 3}));
    const Particle firstOfFirstStart = first;

    glRecorder::reset();
    scene.stop();
    EXPECT_TRUE(scene.cloud().empty());
    EXPECT_EQ(glRecorder::calls(), (std::vector<GlCall>{{"glDeleteTextures", {1, firstTexture}}}));

    // The second start: a new cloud from the continuing sequence, a new texture.
    glRecorder::reset();
    scene.start();
    ASSERT_EQ(scene.cloud().size(), 1000u);
    EXPECT_NE(scene.cloud()[0].x, firstOfFirstStart.x);
    EXPECT_NE(glRecorder::callsNamed("glGenTextures").at(0).args[1], firstTexture);
    scene.stop();

    // The third start draws values 8001 to 12000. Its particle 711 draws a
    // value from 32760 up, the only such kind draw in the three starts, and
    // so takes the kind of particle 710.
    RandomGenerator replay;
    int repeatsOfPreviousKind = 0;
    int repeatingParticle = -1;
    for (int value = 0; value < 12000; ++value) {
        const std::uint32_t random = replay.next();
        if (value % 4 == 0 && random >= 32760) {
            ++repeatsOfPreviousKind;
            repeatingParticle = (value - 8000) / 4;
        }
    }
    EXPECT_EQ(repeatsOfPreviousKind, 1);
    EXPECT_EQ(repeatingParticle, 711);
    scene.start();
    EXPECT_EQ(scene.cloud()[711].kind, scene.cloud()[710].kind);
}

}  // namespace
