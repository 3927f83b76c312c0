#include "audio/WasapiOutput.h"

#include <audioclient.h>
#include <mmdeviceapi.h>
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "audio/MusicTrack.h"
#include "audio/SteadyTime.h"
#include "base/Soundtrack.h"

namespace {

constexpr int channels = mixChannels;
constexpr int bytesPerFrame = channels * sizeof(std::int16_t);

// What the stream's buffer holds ahead of the device, in 100 ns units. The
// device's clock says when each frame is heard, so a deeper buffer costs no
// sync, only a moment of silence before the music starts; it rides out a busy
// machine's late wake-ups.
constexpr REFERENCE_TIME bufferDuration = 2000000;  // 200 ms

// How long the thread waits for the device's signal before it looks anyway
// (and sees whether it is asked to stop).
constexpr DWORD wakeLimitMs = 50;

// Holds one COM interface and releases it.
template <class Interface>
class ComReference {
public:
    ComReference() = default;
    ~ComReference() {
        if (pointer != nullptr) pointer->Release();
    }
    ComReference(const ComReference&) = delete;
    ComReference& operator=(const ComReference&) = delete;

    Interface* operator->() const { return pointer; }
    Interface** out() { return &pointer; }
    void** outVoid() { return reinterpret_cast<void**>(&pointer); }

private:
    Interface* pointer = nullptr;
};

// The steady clock's time of a performance counter stamp in 100 ns units
// (as IAudioClock gives it), through the two clocks read side by side.
std::int64_t steadyUsOfStamp(std::uint64_t stamp) {
    LARGE_INTEGER now{};
    LARGE_INTEGER frequency{};
    const std::int64_t steadyNowUs = steadyTimeUs();
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    const std::int64_t ticks = now.QuadPart;
    const std::int64_t perSecond = frequency.QuadPart;
    const std::int64_t counterNowUs = ticks / perSecond * 1000000 + ticks % perSecond * 1000000 / perSecond;
    return steadyNowUs - (counterNowUs - std::int64_t(stamp / 10));
}

}  // namespace

WasapiOutput::~WasapiOutput() {
    stopping = true;
    if (device.joinable()) device.join();
}

bool WasapiOutput::open(int rate) {
    mixRate = rate;
    std::promise<bool> opened;
    std::future<bool> result = opened.get_future();
    device = std::thread(&WasapiOutput::run, this, std::move(opened));
    if (result.get()) return true;
    device.join();
    return false;
}

void WasapiOutput::play(MusicTrack* track) {
    const std::lock_guard<std::mutex> lock(trackLock);
    playing = track;
}

// The device's thread: opens the stream (saying whether it could through
// `opened`), then keeps its buffer full and reports what is heard until the
// output is closed or the device fails.
void WasapiOutput::run(std::promise<bool> opened) {
    const bool comReady = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    const HANDLE wake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    {
        ComReference<IMMDeviceEnumerator> devices;
        ComReference<IMMDevice> endpoint;
        ComReference<IAudioClient> client;
        ComReference<IAudioRenderClient> renderer;
        ComReference<IAudioClock> deviceClock;

        WAVEFORMATEX format{};
        format.wFormatTag = WAVE_FORMAT_PCM;
        format.nChannels = channels;
        format.nSamplesPerSec = DWORD(mixRate);
        format.wBitsPerSample = 16;
        format.nBlockAlign = bytesPerFrame;
        format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
        // The shared mixer may run at another rate: Windows converts.
        const DWORD streamFlags = AUDCLNT_STREAMFLAGS_EVENTCALLBACK | AUDCLNT_STREAMFLAGS_AUTOCONVERTPCM |
                                  AUDCLNT_STREAMFLAGS_SRC_DEFAULT_QUALITY;
        UINT32 bufferFrames = 0;
        UINT64 clockFrequency = 0;
        std::uint64_t framesWritten = 0;

        // Tops the buffer up: the track's frames, or silence.
        const auto refill = [&]() {
            UINT32 padding = 0;
            if (FAILED(client->GetCurrentPadding(&padding))) return false;
            const UINT32 frames = bufferFrames - std::min(padding, bufferFrames);
            if (frames == 0) return true;
            BYTE* data = nullptr;
            if (FAILED(renderer->GetBuffer(frames, &data))) return false;
            {
                const std::lock_guard<std::mutex> lock(trackLock);
                if (playing == nullptr)
                    std::memset(data, 0, std::size_t(frames) * bytesPerFrame);
                else
                    playing->render(reinterpret_cast<std::int16_t*>(data), int(frames), framesWritten,
                                    steadyTimeUs());
            }
            framesWritten += frames;
            return SUCCEEDED(renderer->ReleaseBuffer(frames, 0));
        };

        const bool ready =
            comReady && wake != nullptr &&
            SUCCEEDED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL,
                                       __uuidof(IMMDeviceEnumerator), devices.outVoid())) &&
            SUCCEEDED(devices->GetDefaultAudioEndpoint(eRender, eConsole, endpoint.out())) &&
            SUCCEEDED(endpoint->Activate(__uuidof(IAudioClient), CLSCTX_ALL, nullptr, client.outVoid())) &&
            SUCCEEDED(client->Initialize(AUDCLNT_SHAREMODE_SHARED, streamFlags, bufferDuration, 0, &format, nullptr)) &&
            SUCCEEDED(client->SetEventHandle(wake)) && SUCCEEDED(client->GetBufferSize(&bufferFrames)) &&
            SUCCEEDED(client->GetService(__uuidof(IAudioRenderClient), renderer.outVoid())) &&
            SUCCEEDED(client->GetService(__uuidof(IAudioClock), deviceClock.outVoid())) &&
            SUCCEEDED(deviceClock->GetFrequency(&clockFrequency)) && clockFrequency > 0 && refill() &&
            SUCCEEDED(client->Start());
        opened.set_value(ready);

        // The clock's position is the frame being played at the device's
        // end, the stream's latency already behind it: taking the latency
        // off as well put the sound 49 ms before the position under Wine's
        // PulseAudio driver (docs/benchmarks.md).
        HeardEstimate estimate(mixRate);
        while (ready && !stopping) {
            WaitForSingleObject(wake, wakeLimitMs);
            if (!refill()) break;
            UINT64 position = 0;
            UINT64 stamp = 0;
            if (FAILED(deviceClock->GetPosition(&position, &stamp)) || position == 0) continue;
            const std::int64_t atUs = steadyUsOfStamp(stamp);
            const std::int64_t frame = std::int64_t(position * UINT64(mixRate) / clockFrequency);
            const std::int64_t heardFrame = estimate.report(frame, atUs);
            if (!estimate.settled()) continue;
            const std::lock_guard<std::mutex> lock(trackLock);
            if (playing != nullptr) playing->heard(std::uint64_t(std::max<std::int64_t>(0, heardFrame)), atUs);
        }
        if (ready) client->Stop();
    }
    if (wake != nullptr) CloseHandle(wake);
    if (comReady) CoUninitialize();
}
