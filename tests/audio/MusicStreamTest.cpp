#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <fstream>
#include <random>

#include "audio/MusicStream.h"
#include "tools/tone/ToneMp3.h"

namespace {

constexpr int rate = 44100;

class MusicStreamFiles : public ::testing::Test {
protected:
    void SetUp() override { directory = toneMp3::makeTempDirectory(); }

    std::string write(const std::string& name, const std::vector<unsigned char>& bytes) {
        const std::string path = directory + "/" + name;
        toneMp3::writeFile(path, bytes);
        return path;
    }

    std::string directory;
};

// Pulls the whole stream through fill() as the device would, one buffer at a
// time, and returns the samples up to the point where only silence follows.
std::vector<std::int16_t> decodeAll(MusicStream& stream, int maxSeconds) {
    std::vector<std::int16_t> samples;
    std::vector<std::int16_t> buffer(2 * 1024);
    for (int i = 0; i < maxSeconds * rate / 1024; ++i) {
        stream.fill(buffer.data(), 1024);
        samples.insert(samples.end(), buffer.begin(), buffer.end());
    }
    while (!samples.empty() && samples.back() == 0) samples.pop_back();
    return samples;
}

double rms(const std::vector<std::int16_t>& samples, size_t from, size_t count) {
    double sum = 0;
    for (size_t i = from; i < from + count; ++i) sum += double(samples[i]) * samples[i];
    return std::sqrt(sum / double(count));
}

TEST_F(MusicStreamFiles, OpensAToneAndKnowsItsLength) {
    const std::string path = write("tone.mp3", toneMp3::encode(2.0));
    auto stream = MusicStream::open(path.c_str(), rate);
    ASSERT_NE(stream, nullptr);
    EXPECT_NEAR(double(stream->lengthMs()), 2000.0, 5.0);
}

TEST_F(MusicStreamFiles, DecodesTheMusicThenGivesSilence) {
    const std::string path = write("tone.mp3", toneMp3::encode(1.0));
    auto stream = MusicStream::open(path.c_str(), rate);
    ASSERT_NE(stream, nullptr);
    stream->seek(0);
    const std::vector<std::int16_t> samples = decodeAll(*stream, 3);
    // About one second of stereo music (the encoder adds a little padding).
    EXPECT_NEAR(double(samples.size()) / 2 / rate, 1.0, 0.01);
    // The tone's level (amplitude 8000) survives coding.
    EXPECT_NEAR(rms(samples, 2 * rate / 4, rate), 8000 / std::sqrt(2.0), 400);
}

TEST_F(MusicStreamFiles, ASeekStartsDecodingThere) {
    const std::string path = write("tone.mp3", toneMp3::encode(2.0));
    auto stream = MusicStream::open(path.c_str(), rate);
    ASSERT_NE(stream, nullptr);
    stream->seek(1500);
    const std::vector<std::int16_t> rest = decodeAll(*stream, 3);
    EXPECT_NEAR(double(rest.size()) / 2 / rate, 0.5, 0.01);
}

TEST_F(MusicStreamFiles, MonoAndOtherRatesArePlayedAsStereoAtTheMixingRate) {
    const std::string path = write("mono.mp3", toneMp3::encode(1.0, 22050, 1));
    auto stream = MusicStream::open(path.c_str(), rate);
    ASSERT_NE(stream, nullptr);
    stream->seek(0);
    const std::vector<std::int16_t> samples = decodeAll(*stream, 3);
    EXPECT_NEAR(double(samples.size()) / 2 / rate, 1.0, 0.01);
    // Both channels carry the tone.
    EXPECT_EQ(samples[2 * rate / 2], samples[2 * rate / 2 + 1]);
    EXPECT_GT(rms(samples, rate / 2, rate / 2), 3000);
}

TEST_F(MusicStreamFiles, TurnsAwayFilesWithNoMusicInThem) {
    std::mt19937 random(7);
    std::vector<unsigned char> noise(200000);
    for (unsigned char& byte : noise) byte = static_cast<unsigned char>(random());
    const std::string text = "This is not an MP3 file, just some words.\n";
    const std::vector<unsigned char> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    const std::vector<unsigned char> mp3 = toneMp3::encode(1.0);

    EXPECT_EQ(MusicStream::open((directory + "/missing.mp3").c_str(), rate), nullptr);
    EXPECT_EQ(MusicStream::open(write("empty.mp3", {}).c_str(), rate), nullptr);
    EXPECT_EQ(MusicStream::open(write("few.mp3", {0xff, 0xfb, 0x90}).c_str(), rate), nullptr);
    EXPECT_EQ(MusicStream::open(write("text.mp3", {text.begin(), text.end()}).c_str(), rate), nullptr);
    EXPECT_EQ(MusicStream::open(write("png.mp3", png).c_str(), rate), nullptr);
    EXPECT_EQ(MusicStream::open(write("noise.mp3", noise).c_str(), rate), nullptr);
    mkdir((directory + "/folder.mp3").c_str(), 0755);
    EXPECT_EQ(MusicStream::open((directory + "/folder.mp3").c_str(), rate), nullptr);
    // A real file that cannot be read.
    const std::string locked = write("locked.mp3", mp3);
    chmod(locked.c_str(), 0);
    if (geteuid() != 0) {
        EXPECT_EQ(MusicStream::open(locked.c_str(), rate), nullptr);
    }
}

TEST_F(MusicStreamFiles, PlaysWhatDecodesOfATruncatedFile) {
    std::vector<unsigned char> mp3 = toneMp3::encode(2.0);
    mp3.resize(mp3.size() / 2 + 77);  // cut in the middle of a frame
    auto stream = MusicStream::open(write("cut.mp3", mp3).c_str(), rate);
    ASSERT_NE(stream, nullptr);
    stream->seek(0);
    const std::vector<std::int16_t> samples = decodeAll(*stream, 4);
    EXPECT_NEAR(double(samples.size()) / 2 / rate, 1.0, 0.1);
}

}  // namespace

namespace {

TEST_F(MusicStreamFiles, PlaysTheMusicOnBothSidesOfADamagedStretch) {
    const std::vector<unsigned char> mp3 = toneMp3::encode(3.0);
    std::mt19937 random(11);
    std::vector<unsigned char> damaged(mp3.begin(), mp3.begin() + long(mp3.size() / 3));
    for (int i = 0; i < 20000; ++i) damaged.push_back(static_cast<unsigned char>(random()));
    damaged.insert(damaged.end(), mp3.begin() + long(mp3.size() / 3), mp3.end());

    auto stream = MusicStream::open(write("damaged.mp3", damaged).c_str(), rate);
    ASSERT_NE(stream, nullptr);
    stream->seek(0);
    const std::vector<std::int16_t> samples = decodeAll(*stream, 5);
    // The whole tone comes through; the junk may pass for a few frames of noise.
    EXPECT_GE(double(samples.size()) / 2 / rate, 2.95);
    EXPECT_LE(double(samples.size()) / 2 / rate, 3.5);
    EXPECT_GT(rms(samples, samples.size() - 2 * rate / 2, rate / 2), 3000);
}

TEST_F(MusicStreamFiles, AnEightMegabyteJunkTailIsCrossedAFewFramesAtATimeInSilence) {
    std::vector<unsigned char> mp3 = toneMp3::encode(0.5);
    std::mt19937 random(5);
    for (int i = 0; i < 8000000; ++i) mp3.push_back(static_cast<unsigned char>(i < 4000000 ? 0 : random()));
    auto stream = MusicStream::open(write("tail.mp3", mp3).c_str(), rate);
    ASSERT_NE(stream, nullptr);
    stream->seek(0);
    // Each decode comes back with what it found, music or nothing, long
    // before the decoder has searched the whole tail.
    std::vector<std::int16_t> buffer(2 * 1024);
    int musicFrames = 0;
    for (int i = 0; i < 200; ++i) musicFrames += stream->decode(buffer.data(), 1024);
    EXPECT_NEAR(double(musicFrames) / rate, 0.5, 0.05);
    EXPECT_FALSE(stream->over());
}

}  // namespace
