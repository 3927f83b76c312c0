#include "capture/FrameWriters.h"

#include <new>
#include <system_error>

#include "base/Failure.h"

FrameWriters::FrameWriters(FrameOutput& output) : output(output) {
    const int writers = output.parallelWrites();
    // Two slots a writer keeps each one busy while the loop fills the next.
    slots.resize(std::size_t(writers) * 2 + 1);
    for (std::size_t slot = 0; slot < slots.size(); ++slot) freeSlots.push_back(slot);
    try {
        for (int i = 0; i < writers; ++i) threads.emplace_back([this] { writeJobs(); });
    } catch (const std::system_error& error) {
        stop();
        throw Failure(std::string("cannot start a writer thread: ") + error.what());
    }
}

FrameWriters::~FrameWriters() { stop(); }

void FrameWriters::stop() {
    {
        const std::lock_guard<std::mutex> guard(lock);
        stopping = true;
    }
    changed.notify_all();
    for (std::thread& thread : threads) thread.join();
}

Image& FrameWriters::freeImage() {
    std::unique_lock<std::mutex> guard(lock);
    changed.wait(guard, [this] { return !freeSlots.empty() || !failure.empty(); });
    throwIfFailed();
    filling = freeSlots.back();
    freeSlots.pop_back();
    return slots[filling];
}

void FrameWriters::submit(std::vector<std::string> names) {
    {
        const std::lock_guard<std::mutex> guard(lock);
        jobs.push_back({filling, std::move(names)});
    }
    changed.notify_all();
}

void FrameWriters::drain() {
    std::unique_lock<std::mutex> guard(lock);
    changed.wait(guard, [this] { return (jobs.empty() && busy == 0) || !failure.empty(); });
    throwIfFailed();
}

void FrameWriters::throwIfFailed() {
    if (!failure.empty()) throw Failure(failure);
}

void FrameWriters::writeJobs() {
    std::unique_lock<std::mutex> guard(lock);
    for (;;) {
        changed.wait(guard, [this] { return !jobs.empty() || stopping; });
        // Once one writer failed the rest is of no use.
        if (stopping || !failure.empty()) return;
        const Job job = std::move(jobs.front());
        jobs.pop_front();
        ++busy;
        guard.unlock();
        std::string error;
        try {
            output.write(slots[job.slot], job.names);
        } catch (const std::bad_alloc&) {
            error = "out of memory";
        } catch (const std::exception& writeFailure) {
            error = writeFailure.what();
        }
        guard.lock();
        --busy;
        freeSlots.push_back(job.slot);
        if (!error.empty() && failure.empty()) failure = error;
        changed.notify_all();
    }
}
