#include <portaudio.h>
#ifdef __linux__
#include <pa_linux_alsa.h>
#endif

#include <array>
#include <cmath>
#include <cstring>

#include "backends.h"

namespace audio::detail {

namespace {

// No callback for this long means the device has stopped (a starting stream may stall ~2 s).
constexpr double kSilentDeviceTimeout = 4.0;
constexpr unsigned long kFramesPerCallback = 40;
// Enough to ride out a busy machine without underruns; lower gave gaps within characters.
constexpr double kLatency = 0.05;
// A playback report this far from the sample clock restarts it.
constexpr double kResyncError = 0.02;

// Pa_Initialize and Pa_Terminate once per process, however many systems and streams exist.
class PaLibrary {
  public:
    static std::shared_ptr<PaLibrary> acquire(std::string& error) {
        static std::mutex mutex;
        static std::weak_ptr<PaLibrary> current;
        std::lock_guard lock(mutex);
        if (auto library = current.lock())
            return library;
        PaError err = Pa_Initialize();
        if (err != paNoError) {
            error = Pa_GetErrorText(err);
            return nullptr;
        }
        auto library = std::shared_ptr<PaLibrary>(new PaLibrary);
        current = library;
        return library;
    }
    ~PaLibrary() { Pa_Terminate(); }

  private:
    PaLibrary() = default;
};

class PortAudioWaveOut : public WaveOut {
  public:
    PortAudioWaveOut(std::shared_ptr<PaLibrary> library, DoneTiming timing,
                     const Dispatcher& dispatcher)
        : library_(std::move(library)), core_(std::make_shared<StreamCore>(timing, dispatcher)) {}

    ~PortAudioWaveOut() override {
        stop_ = true;
        core_->wake();
        if (notifier_.joinable())
            notifier_.join();
        if (stream_) {
            Pa_AbortStream(stream_);
            Pa_CloseStream(stream_);
        }
        core_->close();
    }

    // Opens and starts the stream; returns PortAudio's error text on failure.
    std::string start() {
        PaStreamParameters out{};
        out.device = Pa_GetDefaultOutputDevice();
        if (out.device == paNoDevice)
            return "no default output device";
        out.channelCount = 1;
        out.sampleFormat = paInt16;
        out.suggestedLatency = kLatency;
        // 5 ms per callback: a finished buffer is taken over within 5 ms (the host's own
        // choice here was 8 ms, which lengthened every gap between characters).
        PaError err = Pa_OpenStream(&stream_, nullptr, &out, kSampleRate, kFramesPerCallback,
                                    paClipOff, &callback, this);
        if (err != paNoError) {
            stream_ = nullptr;
            return Pa_GetErrorText(err);
        }
        if (const PaStreamInfo* si = Pa_GetStreamInfo(stream_))
            latency_ = si->outputLatency;
#ifdef __linux__
        // Where the system allows it, the callback thread gets real-time priority, so that a
        // busy machine does not starve the device. Harmless where it is not allowed.
        if (const PaDeviceInfo* device = Pa_GetDeviceInfo(out.device);
            device && Pa_GetHostApiInfo(device->hostApi)->type == paALSA) {
            PaAlsa_EnableRealtimeScheduling(stream_, 1);
        }
#endif
        Pa_SetStreamFinishedCallback(stream_, &streamFinished);
        err = Pa_StartStream(stream_);
        if (err != paNoError) {
            std::string text = Pa_GetErrorText(err);
            Pa_CloseStream(stream_);
            stream_ = nullptr;
            return text;
        }
        notifier_ = std::thread([this] { notify(); });
        return {};
    }

    void setDoneHandler(DoneHandler handler) override {
        core_->setDoneHandler(std::move(handler));
    }
    void write(std::span<const std::int16_t> samples, std::uint64_t tag) override {
        core_->write(samples, tag);
    }
    void reset() override {
        core_->reset();
    }
    bool lost() const override {
        return lost_.load();
    }

  private:
    // Who may render: the audio callback or, once the device is lost, the notifier thread.
    enum Owner : int { kIdle, kCallback, kTakenOver };

    static int callback(const void*, void* output, unsigned long frames,
                        const PaStreamCallbackTimeInfo* time, PaStreamCallbackFlags, void* user) {
        auto* self = static_cast<PortAudioWaveOut*>(user);
        auto* out = static_cast<std::int16_t*>(output);
        int expected = kIdle;
        if (!self->owner_.compare_exchange_strong(expected, kCallback, std::memory_order_acquire)) {
            std::memset(out, 0, frames * sizeof(std::int16_t));
            return paContinue;
        }
        self->callbacks_.fetch_add(1, std::memory_order_relaxed);
        // When out[0] will be heard, on the steady clock the notifier waits on.
        double ahead = self->latency_;
        if (time && time->outputBufferDacTime > 0 && time->currentTime > 0 &&
            time->outputBufferDacTime >= time->currentTime) {
            ahead = time->outputBufferDacTime - time->currentTime;
        }
        self->core_->render(out, frames, self->smoothPlaybackTime(steadySeconds() + ahead));
        self->framesPlayed_ += frames;
        self->owner_.store(kIdle, std::memory_order_release);
        return paContinue;
    }

    // The host reports playback times with the jitter of its scheduling: the callbacks come in
    // bursts. Playback itself runs at a steady rate, so follow the reports with a sample clock
    // that is pulled slowly towards them, and jump only when they leave it far behind (after an
    // underrun, say).
    double smoothPlaybackTime(double reported) {
        double predicted = clockBase_ + static_cast<double>(framesPlayed_) / kSampleRate;
        double error = reported - predicted;
        if (framesPlayed_ == 0 || std::abs(error) > kResyncError) {
            clockBase_ += error;
            return reported;
        }
        clockBase_ += error / 32;
        return predicted + error / 32;
    }

    static void streamFinished(void* user) {
        auto* self = static_cast<PortAudioWaveOut*>(user);
        self->finished_ = true;
        self->core_->wake();
    }

    void notify() {
        std::uint64_t lastCount = 0;
        double lastCallback = steadySeconds();
        double lastActiveCheck = lastCallback;
        while (!stop_.load()) {
            double now = steadySeconds();
            double wait = core_->releaseDue(now);
            core_->waitForWork(wait < 0 ? 0.1 : std::min(wait, 0.1));

            now = steadySeconds();
            std::uint64_t count = callbacks_.load(std::memory_order_relaxed);
            if (count != lastCount) {
                lastCount = count;
                lastCallback = now;
            }
            bool gone = finished_.load() || now - lastCallback > kSilentDeviceTimeout;
            if (!gone && now - lastActiveCheck > 0.5) {
                lastActiveCheck = now;
                gone = Pa_IsStreamActive(stream_) != 1;
            }
            if (gone && takeOver()) {
                paceInRealTime();
                return;
            }
        }
    }

    bool takeOver() {
        int expected = kIdle;
        return owner_.compare_exchange_strong(expected, kTakenOver, std::memory_order_acquire);
    }

    // The device is gone: play on silently in real time so that nobody waits forever.
    void paceInRealTime() {
        lost_ = true;
        core_->releaseDue(0, true);
        using clock = std::chrono::steady_clock;
        constexpr std::size_t kBlock = PacedEngine::kBlock;
        std::array<std::int16_t, kBlock> scratch{};
        auto next = clock::now();
        while (!stop_.load()) {
            core_->render(scratch.data(), kBlock, steadySeconds());
            core_->releaseDue(steadySeconds());
            next += std::chrono::microseconds(1'000'000 * kBlock / kSampleRate);
            if (clock::now() - next > std::chrono::seconds(1))
                next = clock::now();
            std::this_thread::sleep_until(next);
        }
    }

    std::shared_ptr<PaLibrary> library_;
    std::shared_ptr<StreamCore> core_;
    PaStream* stream_ = nullptr;
    double latency_ = 0.03;
    double clockBase_ = 0;            // callback only
    std::uint64_t framesPlayed_ = 0;  // callback only
    std::atomic<int> owner_{kIdle};
    std::atomic<std::uint64_t> callbacks_{0};
    std::atomic<bool> finished_{false};
    std::atomic<bool> lost_{false};
    std::atomic<bool> stop_{false};
    std::thread notifier_;
};

class PortAudioSystem : public AudioSystem {
  public:
    PortAudioSystem(std::shared_ptr<PaLibrary> library, const Dispatcher& dispatcher)
        : library_(std::move(library)), dispatcher_(dispatcher) {}

    std::unique_ptr<WaveOut> open(DoneTiming timing) override {
        auto out = std::make_unique<PortAudioWaveOut>(library_, timing, dispatcher_);
        std::string error = out->start();
        if (error.empty())
            return out;
        std::lock_guard lock(mutex_);
        if (problem_.empty())
            problem_ = noSoundCardProblem(error);
        if (!fallback_)
            fallback_ = std::make_shared<PacedEngine>();
        return std::make_unique<PacedWaveOut>(fallback_, timing, dispatcher_);
    }

    std::string problem() const override {
        std::lock_guard lock(mutex_);
        return problem_;
    }

  private:
    std::shared_ptr<PaLibrary> library_;
    Dispatcher dispatcher_;
    mutable std::mutex mutex_;
    std::string problem_;
    std::shared_ptr<PacedEngine> fallback_;
};

}  // namespace

std::unique_ptr<AudioSystem> createPortAudioSystem(const Dispatcher& dispatcher,
                                                   std::string& problem) {
    std::string error;
    auto library = PaLibrary::acquire(error);
    if (!library) {
        problem = noSoundCardProblem(error);
        return nullptr;
    }
    if (Pa_GetDefaultOutputDevice() == paNoDevice) {
        problem = noSoundCardProblem("no output device was found");
        return nullptr;
    }
    return std::make_unique<PortAudioSystem>(std::move(library), dispatcher);
}

}  // namespace audio::detail
