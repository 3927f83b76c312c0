#include "tests/web/unit/PageStandIns.h"

#include <cstddef>

namespace {

struct PageScript {
    std::vector<double> seconds{0.0};
    std::size_t readings = 0;
    bool soundtrackPresent = true;
    int playRequests = 0;
    std::vector<std::uint32_t> shown;
};

PageScript& script() {
    static PageScript page;
    return page;
}

}  // namespace

namespace pageStandIns {

void reset() { script() = PageScript{}; }

void setSeconds(std::vector<double> seconds) {
    script().seconds = std::move(seconds);
    script().readings = 0;
}

void setSoundtrackPresent(bool present) { script().soundtrackPresent = present; }

int playRequests() { return script().playRequests; }

const std::vector<std::uint32_t>& shownPositions() { return script().shown; }

}  // namespace pageStandIns

extern "C" {

int tidewash_audio_play() {
    ++script().playRequests;
    return script().soundtrackPresent ? 1 : 0;
}

double tidewash_audio_seconds() {
    PageScript& page = script();
    const std::size_t index = page.readings < page.seconds.size() ? page.readings : page.seconds.size() - 1;
    ++page.readings;
    return page.seconds[index];
}

void tidewash_page_frame_shown(unsigned positionMs) { script().shown.push_back(positionMs); }

}  // extern "C"
