#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "audio/MusicTrack.h"
#include "tools/tone/ToneMp3.h"

// A track played by a device driven by hand: the test asks for frames and says
// when they are heard, with times of its own, while the track's feed decodes
// on its real thread from a real file or FIFO.
namespace {

constexpr int rate = 44100;
constexpr int chunk = 1024;
constexpr std::int64_t second = 1000000;

std::vector<std::int16_t> decodeWhole(const std::string& path) {
    auto stream = MusicStream::open(path.c_str(), rate);
    std::vector<std::int16_t> samples(size_t(6 * rate) * 2);
    stream->seek(0);
    stream->fill(samples.data(), 6 * rate);
    return samples;
}

bool waitForMusic(const MusicTrack& track) {
    for (int i = 0; i < 5000 && !track.musicReady(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return track.musicReady();
}

class MusicTrackPlay : public ::testing::Test {
protected:
    void SetUp() override {
        directory = toneMp3::makeTempDirectory();
        mp3 = toneMp3::encode(3.0);
        toneMp3::writeFile(directory + "/tone.mp3", mp3);
        music = decodeWhole(directory + "/tone.mp3");
    }

    // The track of the file at `path`, from position 0, started at time 0.
    std::unique_ptr<MusicTrack> startTrack(const std::string& path) {
        auto stream = MusicStream::open(path.c_str(), rate);
        if (!stream) return nullptr;
        auto track = std::make_unique<MusicTrack>(std::move(stream), rate, 2 * rate, true);
        track->seek(0);
        track->start(0);
        return track;
    }

    // Renders a chunk from the device's frame `from` at nowUs: each sample
    // must be the music's from its frame `musicFrom` on, or silence where
    // the feed has not decoded that far yet. Returns whether it held music.
    bool renderInStep(MusicTrack& track, std::uint64_t from, int musicFrom, std::int64_t nowUs) {
        std::vector<std::int16_t> out(2 * chunk);
        track.render(out.data(), chunk, from, nowUs);
        bool heldMusic = false;
        for (size_t i = 0; i < out.size(); ++i) {
            if (out[i] == 0) continue;
            EXPECT_EQ(out[i], music[2 * size_t(musicFrom) + i])
                << "device frame " << from << " is not the music's frame " << musicFrom;
            heldMusic = true;
        }
        return heldMusic;
    }

    // Renders chunk after chunk from the device's frame `from`, a
    // millisecond apart, until the music comes (at most 5 s), each in step.
    bool musicComesInStep(MusicTrack& track, std::uint64_t from, int musicFrom, std::int64_t nowUs) {
        for (int i = 0; i < 5000; ++i) {
            if (renderInStep(track, from + std::uint64_t(i) * chunk, musicFrom + i * chunk, nowUs)) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return false;
    }

    std::string directory;
    std::vector<unsigned char> mp3;
    std::vector<std::int16_t> music;
};

TEST_F(MusicTrackPlay, HandsOutTheMusicAndThePositionFollowsWhatTheServerSaysIsHeard) {
    auto track = startTrack(directory + "/tone.mp3");
    ASSERT_NE(track, nullptr);
    ASSERT_TRUE(waitForMusic(*track));
    // Until the device says when its frames are heard, it is handed silence;
    // it had played 5000 frames of silence before the music came.
    EXPECT_FALSE(renderInStep(*track, 0, 0, 1000));
    track->heard(0, 0);
    EXPECT_TRUE(renderInStep(*track, 5000, 0, 1000));
    for (int i = 1; i < 10; ++i) renderInStep(*track, 5000 + std::uint64_t(i) * chunk, i * chunk, 1000);
    EXPECT_EQ(track->positionMs(100000), 0u);  // nothing heard yet
    // The server says the device's frame 5000 + 4410 (the music's 100 ms) is
    // heard at 300 ms.
    track->heard(5000 + 4410, 300000);
    EXPECT_EQ(track->positionMs(300000), 100u);
    EXPECT_EQ(track->positionMs(316000), 116u);
    // After a seek the music comes from there.
    track->seek(2000);
    track->start(400000);
    ASSERT_TRUE(waitForMusic(*track));
    track->heard(80000, 400000);
    EXPECT_TRUE(musicComesInStep(*track, 90000, 2 * rate, 401000));
}

// The music's source stalls: a FIFO fed with a third of the file, then, once
// the device has run through what was decoded, with the rest. The device is
// handed silence meanwhile, and the music that comes back is the music of the
// moment, not the music where it stopped.
TEST_F(MusicTrackPlay, AStalledSourceGoesSilentAndTheMusicComesBackInStep) {
    const std::string fifo = directory + "/Quietfall.MP3";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::atomic<bool> resume{false};
    std::thread writer([&] {
        std::ofstream out(fifo, std::ios::binary);
        out.write(reinterpret_cast<const char*>(mp3.data()), std::streamsize(mp3.size() / 3));
        out.flush();
        while (!resume) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        out.write(reinterpret_cast<const char*>(mp3.data() + mp3.size() / 3), std::streamsize(mp3.size() - mp3.size() / 3));
    });
    auto track = startTrack(fifo);
    ASSERT_NE(track, nullptr);
    ASSERT_TRUE(waitForMusic(*track));
    track->heard(0, 0);

    std::vector<std::int16_t> out(2 * chunk);
    std::uint64_t frame = 0;
    int silentChunks = 0;
    int musicAfterStall = 0;
    for (; frame < std::uint64_t(2 * rate); frame += chunk) {
        // Once resumed, each chunk waits for the feed, so that a slow
        // decoder on a busy machine is not taken for a second stall.
        if (silentChunks == 5) {
            resume = true;
            ASSERT_TRUE(waitForMusic(*track));
        }
        track->render(out.data(), chunk, frame, 1000);
        bool silent = true;
        for (int i = 0; i < 2 * chunk; ++i) {
            const std::int16_t expected = music[size_t(2 * frame) + size_t(i)];
            if (out[size_t(i)] != 0) {
                ASSERT_EQ(out[size_t(i)], expected) << "out of step at frame " << frame + std::uint64_t(i / 2);
                silent = false;
                if (silentChunks == 5) ++musicAfterStall;
            }
        }
        if (silent && silentChunks < 5 && frame > 0) ++silentChunks;
    }
    writer.join();
    EXPECT_EQ(silentChunks, 5);
    EXPECT_GT(musicAfterStall, rate / 2);
}

// The device starts past the second the clock waits for it: the music
// joins where the show will be when the device plays it, whether the device
// asks for its first frames late or says late when it plays them.
TEST_F(MusicTrackPlay, ADeviceThatStartsLateJoinsInStepWithTheSteadyClock) {
    auto asksLate = startTrack(directory + "/tone.mp3");
    ASSERT_NE(asksLate, nullptr);
    ASSERT_TRUE(waitForMusic(*asksLate));
    EXPECT_EQ(asksLate->positionMs(900000), 0u);
    // A second and a half on, the show has moved on by half a second.
    EXPECT_EQ(asksLate->positionMs(1500000), 500u);
    // The device asks for its first frames then; until it says when it plays
    // them, it is handed silence.
    EXPECT_FALSE(renderInStep(*asksLate, 0, 0, 1500000));
    // Its frame 0 is heard at 1540 ms, so its frame 2205 at 1590 ms: that is
    // the music's 590 ms, and the position runs on without a step. The feed
    // may not have decoded that far yet: what it owes comes in step later.
    asksLate->heard(0, 1540000);
    EXPECT_TRUE(musicComesInStep(*asksLate, 2205, 590 * rate / 1000, 1501000));
    asksLate->heard(2205, 1590000);
    EXPECT_EQ(asksLate->positionMs(1600000), 600u);

    auto startsLate = startTrack(directory + "/tone.mp3");
    ASSERT_NE(startsLate, nullptr);
    ASSERT_TRUE(waitForMusic(*startsLate));
    EXPECT_FALSE(renderInStep(*startsLate, 0, 0, 100000));
    // Its frame 0 is heard at 1.8 s, when the show is at 0.8 s: the frames
    // handed out next, heard a second later, are the music at 1.8 s.
    startsLate->heard(0, 1800000);
    EXPECT_EQ(startsLate->positionMs(1900000), 900u);
    EXPECT_TRUE(musicComesInStep(*startsLate, std::uint64_t(rate), 18 * rate / 10, 1810000));
    startsLate->heard(std::uint64_t(rate), 2800000);
    EXPECT_EQ(startsLate->positionMs(2900000), 1900u);

    // A device that never says when it plays its frames gets the music two
    // seconds after the clock gave up on it, where the show is.
    auto neverReports = startTrack(directory + "/tone.mp3");
    ASSERT_NE(neverReports, nullptr);
    ASSERT_TRUE(waitForMusic(*neverReports));
    EXPECT_FALSE(renderInStep(*neverReports, 0, 0, 2900000));
    EXPECT_TRUE(musicComesInStep(*neverReports, chunk, 2 * rate + rate / 10, 3100000));
}

}  // namespace
