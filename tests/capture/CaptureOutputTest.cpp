#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <mutex>

#include "base/Failure.h"
#include "capture/FrameWriters.h"
#include "capture/OutputTarget.h"

namespace fs = std::filesystem;

namespace {

class OutputTargetTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / ("tidewash-output-" + std::to_string(::getpid()) + "-" +
                                              ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    static void touch(const fs::path& path, const std::string& text = "x") { std::ofstream(path) << text; }

    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path folder;
};

TEST_F(OutputTargetTest, WritesBesideTheTargetAndMovesItIntoPlaceOnlyWhenDone) {
    const fs::path target = folder / "frames";
    {
        OutputTarget output(target.string(), false);
        EXPECT_EQ(fs::path(output.workFolder()).parent_path(), folder);
        touch(fs::path(output.workFolder()) / "frame-000000.png");
        EXPECT_FALSE(fs::exists(target));
        output.commit();
    }
    EXPECT_TRUE(fs::exists(target / "frame-000000.png"));
    EXPECT_EQ(entries(), std::vector<std::string>{"frames"});
}

TEST_F(OutputTargetTest, AnAbandonedOutputLeavesNothing) {
    {
        OutputTarget output((folder / "clip.mp4").string(), false);
        touch(fs::path(output.workFolder()) / "picture.mp4");
    }
    EXPECT_TRUE(entries().empty());
}

TEST_F(OutputTargetTest, AFileInsideTheWorkFolderBecomesTheTarget) {
    const fs::path target = folder / "clip.mp4";
    {
        OutputTarget output(target.string(), false);
        touch(fs::path(output.workFolder()) / "video.mp4", "video");
        touch(fs::path(output.workFolder()) / "sound.pcm");
        output.commit(output.workFolder() + "/video.mp4");
    }
    EXPECT_EQ(entries(), std::vector<std::string>{"clip.mp4"});
    std::ifstream in(target);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "video");
}

TEST_F(OutputTargetTest, AnExistingOutputNeedsForce) {
    touch(folder / "clip.mp4", "old");
    EXPECT_THROW(OutputTarget((folder / "clip.mp4").string(), false), Failure);
    {
        OutputTarget output((folder / "clip.mp4").string(), true);
        touch(fs::path(output.workFolder()) / "video.mp4", "new");
        output.commit(output.workFolder() + "/video.mp4");
    }
    std::ifstream in(folder / "clip.mp4");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "new");
}

TEST_F(OutputTargetTest, ForceReplacesAFolderOfPngFilesButNoOtherFolder) {
    fs::create_directory(folder / "frames");
    touch(folder / "frames" / "frame-000000.png");
    {
        OutputTarget output((folder / "frames").string(), true);
        touch(fs::path(output.workFolder()) / "frame-000001.png");
        output.commit();
    }
    EXPECT_FALSE(fs::exists(folder / "frames" / "frame-000000.png"));
    EXPECT_TRUE(fs::exists(folder / "frames" / "frame-000001.png"));

    fs::create_directory(folder / "home");
    touch(folder / "home" / "notes.txt");
    EXPECT_THROW(OutputTarget((folder / "home").string(), true), Failure);
    EXPECT_TRUE(fs::exists(folder / "home" / "notes.txt"));
}

TEST_F(OutputTargetTest, WithoutForceNothingThatAppearedMeanwhileIsReplaced) {
    OutputTarget output((folder / "clip.mp4").string(), false);
    touch(fs::path(output.workFolder()) / "video.mp4", "new");
    touch(folder / "clip.mp4", "someone else's");
    EXPECT_THROW(output.commit(output.workFolder() + "/video.mp4"), Failure);
    std::ifstream in(folder / "clip.mp4");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "someone else's");
}

TEST_F(OutputTargetTest, AFolderThatCannotBeWrittenIsAFailure) {
    EXPECT_THROW(OutputTarget((folder / "missing" / "frames").string(), false), Failure);
    EXPECT_THROW(OutputTarget("/proc/tidewash-frames", false), Failure);
}

// An output that records what it was given, and can be told to fail.
class RecordingOutput : public FrameOutput {
public:
    explicit RecordingOutput(int writers, int failAt = -1) : writers(writers), failAt(failAt) {}
    int parallelWrites() const override { return writers; }
    void write(const Image& image, const std::vector<std::string>& names) override {
        if (int(image.rgb.front()) == failAt) throw Failure("disk full");
        const std::lock_guard<std::mutex> guard(lock);
        order.push_back(image.rgb.front());
        givenNames.push_back(names.front());
    }
    void finish(std::uint64_t) override {}

    std::vector<int> order;
    std::vector<std::string> givenNames;

private:
    int writers;
    int failAt;
    std::mutex lock;
};

void submitFrames(FrameWriters& writers, int count) {
    for (int frame = 0; frame < count; ++frame) {
        Image& image = writers.freeImage();
        image.width = 1;
        image.height = 1;
        image.rgb.assign(3, std::uint8_t(frame));
        writers.submit({"frame " + std::to_string(frame)});
    }
}

TEST(FrameWriters, OneWriterKeepsTheFramesInOrder) {
    RecordingOutput output(1);
    FrameWriters writers(output);
    submitFrames(writers, 200);
    writers.drain();
    ASSERT_EQ(output.order.size(), 200u);
    for (int frame = 0; frame < 200; ++frame) {
        EXPECT_EQ(output.order[std::size_t(frame)], frame % 256);
        EXPECT_EQ(output.givenNames[std::size_t(frame)], "frame " + std::to_string(frame));
    }
}

TEST(FrameWriters, TwoWritersWriteEveryFrameOnce) {
    RecordingOutput output(2);
    FrameWriters writers(output);
    submitFrames(writers, 200);
    writers.drain();
    std::vector<int> written = output.order;
    std::sort(written.begin(), written.end());
    std::vector<int> expected;
    for (int frame = 0; frame < 200; ++frame) expected.push_back(frame);
    EXPECT_EQ(written, expected);
}

TEST(FrameWriters, AWritersFailureReachesTheLoop) {
    RecordingOutput output(1, 5);
    FrameWriters writers(output);
    try {
        submitFrames(writers, 100);
        writers.drain();
        FAIL() << "the failure was lost";
    } catch (const Failure& failure) {
        EXPECT_STREQ(failure.what(), "disk full");
    }
    EXPECT_EQ(output.order.size(), 5u);
}

}  // namespace
