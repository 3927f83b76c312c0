// What a frame of each schedule entry costs at a fixed size under the GL the
// machine has (Mesa's llvmpipe here), with frames driven back to back by the
// virtual clock from position 0, as the capture program plays them:
//   frame_bench [--fps N] [--size WxH] [--count-frames K] [--series FILE]
// Prints one line per entry: frames, frames per second, mean, 99th percentile
// and worst frame time in ms. --count-frames K marks K frames in the middle of
// each entry for callgrind (run under valgrind --tool=callgrind
// --instr-atstart=no), which dumps each entry's instructions on their own.
// --series FILE also writes every frame to FILE, one line each after a
// comment naming the columns: its entry (from 1), its music position in ms
// and its time in ms (scripts/plot_bench.py draws them).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fstream>
#include <numeric>
#include <string>
#include <vector>

#include "base/Failure.h"
#include "bench/FrameTimer.h"
#include "capture/HeadlessGl.h"
#include "runtime/Demo.h"
#include "runtime/VirtualClock.h"

namespace {

const char* const usage = "usage: frame_bench [--fps N] [--size WxH] [--count-frames K] [--series FILE]\n";

struct Settings {
    unsigned fps = 60;
    int width = 800;
    int height = 600;
    int countedFrames = 0;
    std::string seriesPath;  // empty: no series file
};

// The settings from the command line; false when it is not one frame_bench
// takes.
bool readSettings(int argc, char** argv, Settings& settings) {
    if (argc % 2 == 0) return false;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--fps")
            settings.fps = unsigned(std::atoi(argv[i + 1]));
        else if (option == "--size")
            std::sscanf(argv[i + 1], "%dx%d", &settings.width, &settings.height);
        else if (option == "--count-frames")
            settings.countedFrames = std::atoi(argv[i + 1]);
        else if (option == "--series")
            settings.seriesPath = argv[i + 1];
        else
            return false;
    }
    return settings.fps != 0 && settings.width > 0 && settings.height > 0;
}

void printEntry(const char* name, std::vector<double> times) {
    if (times.empty()) return;
    std::sort(times.begin(), times.end());
    const double sum = std::accumulate(times.begin(), times.end(), 0.0);
    const double mean = sum / double(times.size());
    const double p99 = times[std::min(times.size() - 1, times.size() * 99 / 100)];
    std::printf("%-8s frames %6zu fps %8.1f mean_ms %7.3f p99_ms %7.3f worst_ms %7.3f\n", name, times.size(),
                1000.0 / mean, mean, p99, times.back());
}

// Every frame's entry, music position and time, one line each.
void writeSeries(const std::string& path, const FrameTimer& timer) {
    std::ofstream out(path);
    out << "# entry position_ms frame_ms\n";
    for (std::size_t entry = 0; entry < timer.entryCount(); ++entry) {
        const std::vector<double>& times = timer.frameTimesMs(entry);
        const std::vector<std::uint32_t>& positions = timer.framePositionsMs(entry);
        for (std::size_t frame = 0; frame < times.size(); ++frame)
            out << entry + 1 << ' ' << positions[frame] << ' ' << times[frame] << '\n';
    }
    if (!out.flush()) throw Failure("cannot write the series to " + path);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::printf("%s", usage);
        return 0;
    }
    Settings settings;
    if (!readSettings(argc, argv, settings)) {
        std::fprintf(stderr, "%s", usage);
        return 2;
    }
    try {
        const HeadlessGl gl(settings.width, settings.height, 1);
        Demo demo;
        VirtualClock clock(settings.fps);
        FrameTimer timer(clock, demo.schedule(), settings.countedFrames);
        demo.run(clock, timer);
        std::vector<double> all;
        for (std::size_t entry = 0; entry < timer.entryCount(); ++entry) {
            const std::string name = "entry" + std::to_string(entry + 1);
            printEntry(name.c_str(), timer.frameTimesMs(entry));
            all.insert(all.end(), timer.frameTimesMs(entry).begin(), timer.frameTimesMs(entry).end());
        }
        printEntry("all", all);
        if (!settings.seriesPath.empty()) writeSeries(settings.seriesPath, timer);
    } catch (const std::exception& error) {
        std::printf("ERROR: %s\n", error.what());
        return 1;
    }
    return 0;
}
