// tidewash-capture: renders every frame of the demo at a fixed frame rate with
// no display, and writes a video with the soundtrack, PNG frames or stills.
#include <exception>
#include <iostream>
#include <memory>
#include <new>

#include "audio/MusicStream.h"
#include "base/Failure.h"
#include "base/Soundtrack.h"
#include "capture/CaptureFrameEnd.h"
#include "capture/CaptureOptions.h"
#include "capture/CapturePlan.h"
#include "capture/FrameReader.h"
#include "capture/FrameWriters.h"
#include "capture/HeadlessGl.h"
#include "capture/Interruption.h"
#include "capture/Mp4Video.h"
#include "capture/OutputTarget.h"
#include "capture/PictureArea.h"
#include "capture/PngFolder.h"
#include "capture/Progress.h"
#include "runtime/Demo.h"
#include "runtime/VirtualClock.h"

namespace {

constexpr int usageStatus = 2;
constexpr int failureStatus = 1;

const char* const versionText =
    "tidewash-capture (Vorn Tidewash Demo) " TIDEWASH_VERSION "\n"
    "Renders the demo at a fixed frame rate, with no display.\n";

CapturePlan planFor(const CaptureOptions& options, const VirtualClock& clock) {
    if (!options.stills.empty()) return CapturePlan::stills(clock, options.stills);
    return CapturePlan::sequence(clock, options.fromMs, options.toMs ? &*options.toMs : nullptr, Demo::lengthMs);
}

// Plays the whole show up to the plan's last frame into `output`; returns the
// number of frames written. An interruption ends it early.
std::uint64_t playInto(FrameOutput& output, const CaptureOptions& options, const CapturePlan& plan,
                       VirtualClock& clock, const HeadlessGl& gl) {
    PictureArea::within(gl.width(), gl.height(), options.stretch).apply(gl.width(), gl.height());
    FrameReader reader(options.width, options.height, options.supersample);
    FrameWriters writers(output);
    Progress progress(plan.framesToWrite(), progressStyleFor(options.quiet));
    CaptureFrameEnd frameEnd(clock, plan, reader, writers, progress);

    Demo demo;
    demo.run(clock, frameEnd);
    writers.drain();
    if (interruption::signalNumber() == 0) progress.finish(frameEnd.framesWritten());
    return frameEnd.framesWritten();
}

// The exit status of a capture a signal stopped: 128 + the signal; 0 when
// none did.
int interruptedStatus() {
    const int signal = interruption::signalNumber();
    return signal != 0 ? 128 + signal : 0;
}

int capture(const CaptureOptions& options) {
    interruption::catchSignals();
    const std::unique_ptr<MusicStream> soundtrack = MusicStream::open(options.soundtrack.c_str(), mixRate);
    if (!soundtrack) throw Failure(missingSoundtrackMessage);

    // What is not committed at the end is removed when the target goes.
    OutputTarget target(options.out, options.force);
    HeadlessGl gl(options.width, options.height, options.supersample);
    VirtualClock clock(options.fps.numerator, options.fps.denominator);
    const CapturePlan plan = planFor(options, clock);
    if (options.wantsVideo()) {
        // The sound starts with the music as the first written frame sees it.
        Mp4Video video(target.workFolder(), options.width, options.height, options.fps, options.wantsArchive(),
                       *soundtrack, clock.positionOfFrame(plan.firstFrame()));
        const std::uint64_t frames = playInto(video, options, plan, clock, gl);
        if (interruptedStatus() == 0) video.finish(frames);
        if (interruptedStatus() != 0) return interruptedStatus();
        target.commit(video.resultPath());
    } else {
        PngFolder folder(target.workFolder());
        playInto(folder, options, plan, clock, gl);
        if (interruptedStatus() != 0) return interruptedStatus();
        target.commit();
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    CaptureOptions options;
    try {
        options = parseCaptureOptions(argc, argv, Demo::lengthMs);
    } catch (const UsageError& error) {
        std::cerr << "tidewash-capture: " << error.what() << "\n"
                  << "Try 'tidewash-capture --help' for more information." << std::endl;
        return usageStatus;
    }
    if (options.request == CaptureOptions::Request::help) {
        std::cout << captureHelp;
        return 0;
    }
    if (options.request == CaptureOptions::Request::version) {
        std::cout << versionText;
        return 0;
    }
    // Whatever goes wrong, the objects on the way out remove what the
    // capture wrote, and one line says what it was.
    try {
        return capture(options);
    } catch (const std::bad_alloc&) {
        std::cerr << "ERROR: out of memory" << std::endl;
    } catch (const std::exception& failure) {
        std::cerr << "ERROR: " << failure.what() << std::endl;
    } catch (...) {
        std::cerr << "ERROR: an unknown failure" << std::endl;
    }
    return failureStatus;
}
