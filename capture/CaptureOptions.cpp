#include "capture/CaptureOptions.h"

#include <getopt.h>

#include <cerrno>
#include <cstdlib>
#include <numeric>

namespace {

enum Option { fpsOption = 1000, sizeOption, fromOption, toOption, outOption, stillsOption, stretchOption,
              supersampleOption, soundtrackOption, forceOption, quietOption, helpOption, versionOption };

const option longOptions[] = {
    {"fps", required_argument, nullptr, fpsOption},
    {"size", required_argument, nullptr, sizeOption},
    {"from", required_argument, nullptr, fromOption},
    {"to", required_argument, nullptr, toOption},
    {"out", required_argument, nullptr, outOption},
    {"stills", required_argument, nullptr, stillsOption},
    {"stretch", no_argument, nullptr, stretchOption},
    {"supersample", required_argument, nullptr, supersampleOption},
    {"soundtrack", required_argument, nullptr, soundtrackOption},
    {"force", no_argument, nullptr, forceOption},
    {"quiet", no_argument, nullptr, quietOption},
    {"help", no_argument, nullptr, helpOption},
    {"version", no_argument, nullptr, versionOption},
    {nullptr, 0, nullptr, 0},
};

// A whole decimal number (digits only, no sign); none for anything else or a
// value beyond `limit`.
std::optional<std::uint64_t> wholeNumber(const std::string& text, std::uint64_t limit) {
    if (text.empty() || text.size() > 12 || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const std::uint64_t value = std::strtoull(text.c_str(), nullptr, 10);
    if (value > limit) return std::nullopt;
    return value;
}

// The broadcast rates by the names they are shown under.
struct NamedRate {
    const char* name;
    FrameRate rate;
};
const NamedRate namedRates[] = {{"59.94", {60000, 1001}}, {"29.97", {30000, 1001}}, {"23.976", {24000, 1001}}};

// A whole number, a fraction NUM/DEN (kept in lowest terms) or a broadcast
// rate's decimal name; from 1 to 1000 frames per second.
FrameRate fpsValue(const std::string& text) {
    for (const NamedRate& named : namedRates)
        if (text == named.name) return named.rate;
    const std::size_t slash = text.find('/');
    const auto numerator = wholeNumber(text.substr(0, slash), 1000000);
    const auto denominator = slash == std::string::npos ? std::optional<std::uint64_t>(1)
                                                        : wholeNumber(text.substr(slash + 1), 1000000);
    if (!numerator || !denominator || *denominator == 0 || *numerator < *denominator ||
        *numerator > 1000 * *denominator)
        throw UsageError("invalid --fps '" + text +
                         "': give a whole number from 1 to 1000, a fraction such as 60000/1001, or 59.94, 29.97 "
                         "or 23.976");
    const std::uint64_t common = std::gcd(*numerator, *denominator);
    return {std::uint32_t(*numerator / common), std::uint32_t(*denominator / common)};
}

int supersampleValue(const std::string& text) {
    const auto factor = wholeNumber(text, 4);
    if (!factor || *factor == 0)
        throw UsageError("invalid --supersample '" + text + "': give a whole number from 1 to 4");
    return int(*factor);
}

void readSize(const std::string& text, CaptureOptions& options) {
    const std::size_t x = text.find('x');
    const auto width = x == std::string::npos ? std::nullopt : wholeNumber(text.substr(0, x), 1u << 20);
    const auto height = x == std::string::npos ? std::nullopt : wholeNumber(text.substr(x + 1), 1u << 20);
    if (!width || !height || *width == 0 || *height == 0)
        throw UsageError("invalid --size '" + text + "': give WIDTHxHEIGHT in pixels, such as 1920x1080");
    options.width = int(*width);
    options.height = int(*height);
}

std::uint32_t timeValue(const std::string& option, const std::string& text, std::uint32_t lengthMs) {
    const auto time = wholeNumber(text, ~std::uint32_t(0));
    if (!time) throw UsageError("invalid " + option + " '" + text + "': give a time in whole ms");
    if (*time > lengthMs)
        throw UsageError(option + " " + text + " is beyond the end of the show at " + std::to_string(lengthMs) +
                         " ms");
    return std::uint32_t(*time);
}

std::vector<std::uint32_t> stillTimes(const std::string& text, std::uint32_t lengthMs) {
    std::vector<std::uint32_t> times;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        const std::string item = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        times.push_back(timeValue("--stills", item, lengthMs));
        if (comma == std::string::npos) return times;
        start = comma + 1;
    }
}

bool endsWith(const std::string& text, const std::string& ending) {
    return text.size() >= ending.size() && text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
}

void checkCombination(const CaptureOptions& options, bool rangeGiven) {
    if (options.out.empty())
        throw UsageError("no --out: name a folder for PNG files or a file ending in .mp4 or .mkv");
    if (options.toMs && options.fromMs >= *options.toMs)
        throw UsageError("--from " + std::to_string(options.fromMs) + " is not before --to " +
                         std::to_string(*options.toMs));
    if (options.stills.empty()) {
        if (options.wantsVideo() && !options.wantsArchive() && (options.width % 2 != 0 || options.height % 2 != 0))
            throw UsageError("--size " + std::to_string(options.width) + "x" + std::to_string(options.height) +
                             " is odd: H.264 video needs an even width and height");
        return;
    }
    if (rangeGiven) throw UsageError("--stills takes no --from or --to: each still names its own time");
    if (options.wantsVideo()) throw UsageError("--stills writes PNG files: give a folder as --out, not a video");
}

}  // namespace

std::string FrameRate::text() const {
    return denominator == 1 ? std::to_string(numerator) : std::to_string(numerator) + "/" + std::to_string(denominator);
}

bool CaptureOptions::wantsVideo() const { return endsWith(out, ".mp4") || wantsArchive(); }

bool CaptureOptions::wantsArchive() const { return endsWith(out, ".mkv"); }

CaptureOptions parseCaptureOptions(int argc, char* const argv[], std::uint32_t lengthMs) {
    CaptureOptions options;
    bool rangeGiven = false;
    opterr = 0;
    optind = 0;  // glibc: start afresh, also on a second command line
    for (;;) {
        const int option = getopt_long(argc, argv, ":", longOptions, nullptr);
        if (option == -1) break;
        const std::string value = optarg != nullptr ? optarg : "";
        switch (option) {
        case fpsOption: options.fps = fpsValue(value); break;
        case sizeOption: readSize(value, options); break;
        case fromOption: options.fromMs = timeValue("--from", value, lengthMs); rangeGiven = true; break;
        case toOption: options.toMs = timeValue("--to", value, lengthMs); rangeGiven = true; break;
        case outOption: options.out = value; break;
        case stillsOption: options.stills = stillTimes(value, lengthMs); break;
        case stretchOption: options.stretch = true; break;
        case supersampleOption: options.supersample = supersampleValue(value); break;
        case soundtrackOption: options.soundtrack = value; break;
        case forceOption: options.force = true; break;
        case quietOption: options.quiet = true; break;
        case helpOption: options.request = CaptureOptions::Request::help; return options;
        case versionOption: options.request = CaptureOptions::Request::version; return options;
        case ':': throw UsageError(std::string("option '") + argv[optind - 1] + "' needs a value");
        default: throw UsageError(std::string("unrecognized option '") + argv[optind - 1] + "'");
        }
    }
    if (optind < argc) throw UsageError(std::string("unexpected argument '") + argv[optind] + "'");
    checkCombination(options, rangeGiven);
    return options;
}

const char* const captureHelp =
    "Usage: tidewash-capture --out PATH [OPTION]...\n"
    "Renders every frame of the Tidewash demo at a fixed frame rate, with no\n"
    "display, and writes a video with the soundtrack, a PNG sequence or stills.\n"
    "\n"
    "  --out PATH        a folder for PNG files (frame-000000.png, ...), a file\n"
    "                    ending in .mp4 for H.264 video (BT.709) with AAC sound,\n"
    "                    or in .mkv for a lossless archive: FFV1 video in RGB\n"
    "                    with FLAC sound\n"
    "  --fps RATE        frames per second, 1 to 1000 (default 60); also a\n"
    "                    fraction NUM/DEN such as 60000/1001, and 59.94, 29.97\n"
    "                    and 23.976 for 60000/1001, 30000/1001 and 24000/1001\n"
    "  --size WxH        frame size in pixels (default 800x600); the 4:3 picture\n"
    "                    is centred with black bars at other aspects\n"
    "  --stretch         fill the whole frame instead, whatever its aspect\n"
    "  --supersample N   render each frame N times as wide and high and average\n"
    "                    each N x N block into one pixel, for smooth edges\n"
    "                    (1 to 4, default 1)\n"
    "  --from MS         start with the frame on screen at this music time, in\n"
    "                    ms (default 0); the sound starts under that frame\n"
    "  --to MS           write the frames before this music time (default: the\n"
    "                    end of the show)\n"
    "  --stills T1,T2,...\n"
    "                    one PNG per music time in ms, named T.png, each the\n"
    "                    frame a capture at --fps shows at that time\n"
    "  --soundtrack PATH\n"
    "                    the soundtrack (default Quietfall.MP3 here)\n"
    "  --force           replace an existing output\n"
    "  --quiet           no progress on stderr\n"
    "  --help            show this help and exit\n"
    "  --version         show the version and exit\n"
    "\n"
    "Every capture plays the show from the start at its own rate, so the same\n"
    "command gives the same frames, byte for byte.\n"
    "Examples: tidewash-capture --out tidewash.mp4 --size 1920x1080 --supersample 2\n"
    "          tidewash-capture --out tidewash.mkv\n";
