#include "capture/CaptureFrameEnd.h"

#include "capture/CapturePlan.h"
#include "capture/FrameReader.h"
#include "capture/FrameWriters.h"
#include "capture/Interruption.h"
#include "capture/Progress.h"
#include "runtime/VirtualClock.h"

bool CaptureFrameEnd::endFrame() {
    const std::uint64_t frame = clock.frameNumber();
    std::vector<std::string> names = plan.namesOf(frame);
    if (!names.empty()) {
        reader.read(writers.freeImage());
        writers.submit(std::move(names));
        ++written;
        progress.update(written);
    }
    clock.nextFrame();
    return frame < plan.lastFrame() && interruption::signalNumber() == 0;
}
