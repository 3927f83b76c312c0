#include "tests/web/unit/PageStandIns.h"

#include <cstddef>

namespace {

template <typename T>
const T& next(const std::vector<T>& script, std::size_t& reads) {
    const std::size_t index = reads < script.size() ? reads : script.size() - 1;
    ++reads;
    return script[index];
}

struct PageScript {
    std::vector<AudioReading> readings{AudioReading{}};
    std::size_t audioReads = 0;
    std::vector<double> frameMs{0.0};
    std::size_t frameReads = 0;
    bool soundtrackPresent = true;
    double musicStartSeconds = 0;
    std::vector<double> played;
    std::vector<bool> silent;
    std::vector<std::uint32_t> shown;
};

PageScript& script() {
    static PageScript page;
    return page;
}

}  // namespace

namespace pageStandIns {

void reset() { script() = PageScript{}; }

void setReadings(std::vector<AudioReading> readings) {
    script().readings = std::move(readings);
    script().audioReads = 0;
}

void setSeconds(const std::vector<double>& seconds) {
    // Frames at 60 Hz, each shown one interval after its time, when the
    // reading is taken.
    const double intervalMs = 1000.0 / 60.0;
    std::vector<AudioReading> readings;
    std::vector<double> frames;
    for (std::size_t i = 0; i < seconds.size(); ++i) {
        AudioReading reading;
        reading.running = true;
        reading.contextSeconds = seconds[i];
        reading.nowMs = intervalMs * double(i + 1);
        readings.push_back(reading);
        frames.push_back(intervalMs * double(i));
    }
    setReadings(readings);
    setFrameTimes(frames);
}

void setFrameTimes(std::vector<double> frameMs) {
    script().frameMs = std::move(frameMs);
    script().frameReads = 0;
}

void setSoundtrackPresent(bool present) { script().soundtrackPresent = present; }

void setMusicStartSeconds(double seconds) { script().musicStartSeconds = seconds; }

const std::vector<double>& playRequests() { return script().played; }

const std::vector<bool>& silentNotices() { return script().silent; }

const std::vector<std::uint32_t>& shownPositions() { return script().shown; }

}  // namespace pageStandIns

extern "C" {

int tidewash_audio_has_soundtrack() { return script().soundtrackPresent ? 1 : 0; }

void tidewash_audio_read(double* fields) {
    const AudioReading& reading = next(script().readings, script().audioReads);
    const double values[7] = {reading.running ? 1.0 : 0.0, reading.contextSeconds, reading.stampContextSeconds,
                              reading.stampMs, reading.latencySeconds, reading.nowMs, reading.heardInSteps ? 1.0 : 0.0};
    for (int i = 0; i < 7; ++i) fields[i] = values[i];
}

double tidewash_audio_play(double fromSeconds, double /*leadSeconds*/) {
    script().played.push_back(fromSeconds);
    return script().musicStartSeconds;
}

double tidewash_page_frame_ms() { return next(script().frameMs, script().frameReads); }

void tidewash_page_plays_silent(int silent) { script().silent.push_back(silent != 0); }

void tidewash_page_frame_shown(unsigned positionMs) { script().shown.push_back(positionMs); }

}  // extern "C"
