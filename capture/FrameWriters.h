#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "capture/FrameOutput.h"
#include "capture/Image.h"

// Writer threads between the frame loop and the output, so that encoding and
// compression overlap with rendering the next frames. A few image slots are
// handed round: the loop fills a free one and submits it, a writer writes it
// and frees it again. A writer's failure reaches the loop at its next call.
class FrameWriters {
public:
    // Throws Failure when a writer thread cannot be started.
    explicit FrameWriters(FrameOutput& output);
    ~FrameWriters();
    FrameWriters(const FrameWriters&) = delete;
    FrameWriters& operator=(const FrameWriters&) = delete;

    // A slot to fill, waiting for one to come free. Throws Failure when a
    // writer has failed.
    Image& freeImage();

    // Hands the slot last given by freeImage to the writers.
    void submit(std::vector<std::string> names);

    // Waits until every submitted frame is written. Throws Failure when a
    // writer has failed.
    void drain();

private:
    struct Job {
        std::size_t slot;
        std::vector<std::string> names;
    };

    void writeJobs();
    void throwIfFailed();
    void stop();

    FrameOutput& output;
    std::vector<Image> slots;
    std::vector<std::size_t> freeSlots;
    std::deque<Job> jobs;
    std::size_t filling = 0;
    int busy = 0;
    bool stopping = false;
    std::string failure;
    std::mutex lock;
    std::condition_variable changed;
    std::vector<std::thread> threads;
};
