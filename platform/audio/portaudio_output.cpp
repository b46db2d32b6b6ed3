#include <portaudio.h>
#ifdef __linux__
#include <pa_linux_alsa.h>
#endif

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <span>

#include "backends.h"
#include "pipewire_sidetone.h"
#include "pulse_sidetone.h"

namespace audio::detail {

namespace {

// No callback for this long means the device has stopped (a starting stream may stall ~2 s).
constexpr double kSilentDeviceTimeout = 4.0;
constexpr unsigned long kFramesPerCallback = 40;
// Enough to ride out a busy machine without underruns; lower gave gaps within characters.
constexpr double kSenderLatency = 0.05;
// The side-tone asks for the least the device gives: the tone has to follow the key.
constexpr double kSidetoneLatency = 0.005;
// Only where no PulseAudio server answers the side-tone's own client (pulse_sidetone.h) does it
// play through PortAudio, so this matters little. Measured through a null sink all the same: 15 ms
// asked played clean, 15-16 ms from key to tone; 12 ms and less broke the tone up with underruns
// several times a second. A voice that keeps falling behind asks for the next step.
const char* const kSidetoneServerLatencies[] = {"15", "20", "30"};
// Played this much less than real time over a second counts as falling behind.
constexpr double kShortfall = 0.05;
// A stream with nothing to play for this long stops until something is written: a running
// stream wakes the machine 200 times a second. Restarting takes a few milliseconds.
constexpr double kRestAfter = 2.0;
// While the device is gone, how often to try to open it again.
constexpr double kRetryEvery = 2.0;

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

// PortAudio reaches a PulseAudio server through ALSA's pulse plugin, which keeps its own buffer
// of about 30 ms whatever latency the stream asks for; only PulseAudio's client library can be
// told to keep less, and only through PULSE_LATENCY_MSEC, read whenever the plugin connects a
// stream to the server. That is not only when the stream opens and starts: after an underrun
// PortAudio's own thread recovers the stream and the plugin connects it again, so the variable
// has to stay set for as long as the stream plays (a stream that reconnected without it kept the
// server's default, 31 ms, to its end). A voice that needs it holds it while it lives. The
// sender's stream connects again whenever it starts after resting; it does not play while a key
// screen is open.
// A value the user has set is left alone.
class ServerLatency {
  public:
    ServerLatency() = default;
    ~ServerLatency() { set(nullptr); }
    ServerLatency(const ServerLatency&) = delete;
    ServerLatency& operator=(const ServerLatency&) = delete;

    // nullptr: no longer held.
    void set(const char* milliseconds) {
        std::lock_guard lock(mutex());
        if (milliseconds && !set_ && std::getenv("PULSE_LATENCY_MSEC"))
            return;  // the user's
        if (milliseconds) {
            setenv("PULSE_LATENCY_MSEC", milliseconds, 1);
            set_ = true;
        } else if (set_) {
            unsetenv("PULSE_LATENCY_MSEC");
            set_ = false;
        }
    }

  private:
    static std::mutex& mutex() {
        static std::mutex m;
        return m;
    }
    bool set_ = false;
};

// One PortAudio stream playing a source. Its notifier thread releases what the source has
// finished, stops the stream while the source rests and starts it again when it has something
// to play; if the device goes away it paces the source silently in real time and keeps trying
// to open the device again.
class PaVoice {
  public:
    // `pulseLatencies`: what to ask of a PulseAudio server, in milliseconds as text, the next
    // one whenever the stream keeps falling behind; empty: leave it to the server.
    PaVoice(std::shared_ptr<PaLibrary> library, std::shared_ptr<Source> source, double latency,
            std::span<const char* const> pulseLatencies, bool rests,
            std::shared_ptr<Outages> outages)
        : library_(std::move(library)),
          source_(std::move(source)),
          latency_(latency),
          pulseLatencies_(pulseLatencies),
          rests_(rests),
          outages_(std::move(outages)) {}

    ~PaVoice() {
        stop_ = true;
        source_->wake();
        if (notifier_.joinable())
            notifier_.join();
        closeStream();
        if (lost_)
            outages_->back();
    }

    // Opens and starts the stream; returns PortAudio's error text on failure.
    std::string start() {
        std::string error = openStream();
        if (!error.empty())
            return error;
        error = startStream();
        if (!error.empty()) {
            closeStream();
            return error;
        }
        notifier_ = std::thread([this] { run(); });
        return {};
    }

    bool lost() const { return lost_.load(); }
    std::uint64_t underruns() const { return underruns_.load(); }

  private:
    // Who may render: the audio callback or, once the device is lost, the notifier thread.
    enum Owner : int { kIdle, kCallback, kTakenOver };

    const char* pulseLatency() const {
        return latencyStep_ < pulseLatencies_.size() ? pulseLatencies_[latencyStep_] : nullptr;
    }

    std::string openStream() {
        PaStreamParameters out{};
        out.device = Pa_GetDefaultOutputDevice();
        if (out.device == paNoDevice)
            return "no default output device";
        out.channelCount = 1;
        out.sampleFormat = paInt16;
        out.suggestedLatency = latency_;
        // 5 ms per callback: a finished buffer is taken over within 5 ms (the host's own
        // choice here was 8 ms, which lengthened every gap between characters), and the
        // side-tone's tone is decided 5 ms at a time.
        if (!pulseLatencies_.empty())
            serverLatency_.set(pulseLatency());
        PaError err = Pa_OpenStream(&stream_, nullptr, &out, kSampleRate, kFramesPerCallback,
                                    paClipOff, &callback, this);
        if (err != paNoError) {
            stream_ = nullptr;
            return Pa_GetErrorText(err);
        }
        if (const PaStreamInfo* si = Pa_GetStreamInfo(stream_))
            reportedLatency_ = si->outputLatency;
#ifdef __linux__
        // Where the system allows it, the callback thread gets real-time priority, so that a
        // busy machine does not starve the device. Harmless where it is not allowed.
        if (const PaDeviceInfo* device = Pa_GetDeviceInfo(out.device);
            device && Pa_GetHostApiInfo(device->hostApi)->type == paALSA) {
            PaAlsa_EnableRealtimeScheduling(stream_, 1);
        }
#endif
        Pa_SetStreamFinishedCallback(stream_, &streamFinished);
        return {};
    }

    std::string startStream() {
        finished_ = false;
        clock_.restart();  // no callback runs while the stream is stopped
        PaError err = Pa_StartStream(stream_);
        if (err != paNoError)
            return Pa_GetErrorText(err);
        running_ = true;
        return {};
    }

    // Plays what is in the device's buffer to its end, then stops the callbacks.
    void stopStream() {
        parked_ = true;
        Pa_StopStream(stream_);
        parked_ = false;
        running_ = false;
    }

    void closeStream() {
        if (!stream_)
            return;
        Pa_AbortStream(stream_);
        Pa_CloseStream(stream_);
        stream_ = nullptr;
        running_ = false;
    }

    static int callback(const void*, void* output, unsigned long frames,
                        const PaStreamCallbackTimeInfo* time, PaStreamCallbackFlags flags,
                        void* user) {
        auto* self = static_cast<PaVoice*>(user);
        if (flags & paOutputUnderflow)
            self->underruns_.fetch_add(1, std::memory_order_relaxed);
        auto* out = static_cast<std::int16_t*>(output);
        int expected = kIdle;
        if (self->parked_.load(std::memory_order_relaxed) ||
            !self->owner_.compare_exchange_strong(expected, kCallback, std::memory_order_acquire)) {
            std::memset(out, 0, frames * sizeof(std::int16_t));
            return paContinue;
        }
        self->callbacks_.fetch_add(1, std::memory_order_relaxed);
        // When out[0] will be heard, on the steady clock the notifier waits on.
        double ahead = self->reportedLatency_;
        if (time && time->outputBufferDacTime > 0 && time->currentTime > 0 &&
            time->outputBufferDacTime >= time->currentTime) {
            ahead = time->outputBufferDacTime - time->currentTime;
        }
        self->source_->render(out, frames, self->clock_.next(steadySeconds() + ahead, frames));
        self->framesRendered_.fetch_add(frames, std::memory_order_relaxed);
        self->owner_.store(kIdle, std::memory_order_release);
        return paContinue;
    }

    static void streamFinished(void* user) {
        auto* self = static_cast<PaVoice*>(user);
        self->finished_ = true;
        self->source_->wake();
    }

    void run() {
        std::uint64_t lastCount = callbacks_.load();
        double lastCallback = steadySeconds();
        double lastActiveCheck = lastCallback;
        double idleSince = -1;
        while (!stop_.load()) {
            if (lost_) {
                paceUntilBack();
                lastCallback = lastActiveCheck = steadySeconds();
                continue;
            }
            if (!running_) {
                source_->releaseDue(steadySeconds());
                if (source_->idle()) {
                    source_->waitForWork(1.0);
                    continue;
                }
                if (!startStream().empty()) {
                    goLost();
                    continue;
                }
                lastCallback = lastActiveCheck = steadySeconds();
                idleSince = -1;
                continue;
            }
            double wait = source_->releaseDue(steadySeconds());
            source_->waitForWork(wait < 0 ? 0.1 : std::min(wait, 0.1));

            double now = steadySeconds();
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
            if (gone) {
                goLost();
                continue;
            }
            checkPace(now);
            if (rests_) {
                if (!source_->idle()) {
                    idleSince = -1;
                } else if (idleSince < 0) {
                    idleSince = now;
                } else if (now - idleSince > kRestAfter) {
                    stopStream();
                }
            }
        }
    }

    void goLost() {
        if (owner_.load() != kTakenOver)
            takeOver();
        lost_ = true;
        outages_->lost();
        source_->releaseDue(0, true);
    }

    // The device is gone: play on silently in real time so that nobody waits forever, and open
    // the device again as soon as it is back.
    void paceUntilBack() {
        detail::paceUntilBack(*source_, stop_, rests_, kRetryEvery, [this] { return reopen(); });
    }

    bool reopen() {
        if (!restartStream())
            return false;
        lost_ = false;
        outages_->back();
        return true;
    }

    // Closes the stream and opens and starts a new one; with the stream taken over by the
    // notifier before, and again after a failure.
    bool restartStream() {
        closeStream();
        if (!openStream().empty())
            return false;
        owner_.store(kIdle, std::memory_order_release);  // the callback renders from now on
        if (!startStream().empty()) {
            int expected = kIdle;
            while (!owner_.compare_exchange_weak(expected, kTakenOver)) {
                expected = kIdle;
                std::this_thread::yield();
            }
            closeStream();
            return false;
        }
        return true;
    }

    // Watches whether the device plays in real time; if it keeps falling behind (underruns:
    // the server's buffer is too small for this machine), asks for the next larger one.
    void checkPace(double now) {
        if (pulseLatencies_.empty() || latencyStep_ + 1 >= pulseLatencies_.size())
            return;
        if (paceFrom_ < 0 || now - paceFrom_ > 1.5) {  // (re)started, or the notifier slept
            paceFrom_ = now;
            paceFrames_ = framesRendered_.load();
            return;
        }
        if (now - paceFrom_ < 1.0)
            return;
        double played = static_cast<double>(framesRendered_.load() - paceFrames_) / kSampleRate;
        bool behind = played < now - paceFrom_ - kShortfall;
        behindSeconds_ = behind ? behindSeconds_ + 1 : 0;
        paceFrom_ = now;
        paceFrames_ = framesRendered_.load();
        if (behindSeconds_ < 2)
            return;
        behindSeconds_ = 0;
        paceFrom_ = -1;
        takeOver();
        ++latencyStep_;
        if (!restartStream())
            goLost();
    }

    void takeOver() {
        int expected = kIdle;
        while (!owner_.compare_exchange_weak(expected, kTakenOver, std::memory_order_acquire)) {
            expected = kIdle;
            std::this_thread::yield();
        }
    }

    std::shared_ptr<PaLibrary> library_;
    std::shared_ptr<Source> source_;
    const double latency_;
    const std::span<const char* const> pulseLatencies_;
    std::size_t latencyStep_ = 0;  // notifier thread
    const bool rests_;
    std::shared_ptr<Outages> outages_;
    ServerLatency serverLatency_;  // notifier thread (and the owner's constructor/destructor)
    PaStream* stream_ = nullptr;   // notifier thread (and the owner's constructor/destructor)
    bool running_ = false;         // notifier thread
    double reportedLatency_ = 0.03;
    double paceFrom_ = -1;  // notifier thread: checkPace's window
    std::uint64_t paceFrames_ = 0;
    int behindSeconds_ = 0;
    PlaybackClock clock_;  // callback only
    std::atomic<int> owner_{kIdle};
    std::atomic<bool> parked_{false};
    std::atomic<std::uint64_t> callbacks_{0};
    std::atomic<std::uint64_t> framesRendered_{0};
    std::atomic<std::uint64_t> underruns_{0};
    std::atomic<bool> finished_{false};
    std::atomic<bool> lost_{false};
    std::atomic<bool> stop_{false};
    std::thread notifier_;
};

class PortAudioWaveOut : public WaveOut, public OutputProbe {
  public:
    PortAudioWaveOut(std::shared_ptr<PaLibrary> library, DoneTiming timing,
                     const Dispatcher& dispatcher, std::shared_ptr<Outages> outages)
        : core_(std::make_shared<StreamCore>(timing, dispatcher)),
          voice_(std::move(library), core_, kSenderLatency, {}, true, std::move(outages)) {}
    ~PortAudioWaveOut() override {
        core_->waitForTail();
        core_->close();
    }

    std::string start() { return voice_.start(); }

    void setDoneHandler(DoneHandler handler) override { core_->setDoneHandler(std::move(handler)); }
    void write(std::span<const std::int16_t> samples, std::uint64_t tag) override {
        core_->write(samples, tag);
    }
    void reset() override { core_->reset(); }
    bool lost() const override { return voice_.lost(); }
    const Source& source() const override { return *core_; }

  private:
    std::shared_ptr<StreamCore> core_;
    PaVoice voice_;  // destroyed first: no callback or notice runs once it is gone
};

class PortAudioSidetone : public keytut::SidetoneVoice, public OutputProbe {
  public:
    PortAudioSidetone(std::shared_ptr<PaLibrary> library, const Dispatcher& dispatcher,
                      const keytut::Tone& tone, std::shared_ptr<Outages> outages)
        : core_(std::make_shared<SidetoneCore>(dispatcher, tone)),
          voice_(std::move(library), core_, kSidetoneLatency, kSidetoneServerLatencies, false,
                 std::move(outages)) {}
    ~PortAudioSidetone() override { core_->close(); }

    std::string start() { return voice_.start(); }

    void setTickHandler(TickHandler tick) override { core_->setTickHandler(std::move(tick)); }
    void setTone(bool on) override { core_->setTone(on); }
    bool lost() const override { return voice_.lost(); }
    const Source& source() const override { return *core_; }
    std::uint64_t underruns() const override { return voice_.underruns(); }
    std::string route() const override {
        const char* asked = std::getenv("PULSE_LATENCY_MSEC");  // the voice holds it
        return std::string("PortAudio") +
               (asked ? std::string(", ") + asked + " ms server buffer asked" : "");
    }

  private:
    std::shared_ptr<SidetoneCore> core_;
    PaVoice voice_;
};

class PortAudioSystem : public AudioSystem {
  public:
    PortAudioSystem(std::shared_ptr<PaLibrary> library, const AudioOptions& options)
        : library_(std::move(library)),
          dispatcher_(options.dispatcher),
          sidetoneAmplitude_(options.sidetoneAmplitude),
          outages_(std::make_shared<Outages>(options.dispatcher, options.problemHandler)) {}

    std::unique_ptr<WaveOut> open(DoneTiming timing) override {
        auto out = std::make_unique<PortAudioWaveOut>(library_, timing, dispatcher_, outages_);
        std::string error = out->start();
        if (error.empty())
            return out;
        return std::make_unique<PacedWaveOut>(fallback(error), timing, dispatcher_);
    }

    std::unique_ptr<keytut::SidetoneVoice> openSidetone(keytut::ToneSettings settings) override {
        const keytut::Tone tone(sidetoneAmplitude_, settings);
        // A PipeWire or else a PulseAudio server is played to directly (PipeWire's PulseAudio
        // service too, if its native side does not play); through PortAudio only when there is
        // neither.
        if (auto voice = openPipeWireSidetone(dispatcher_, tone, outages_))
            return voice;
        if (auto voice = openPulseSidetone(dispatcher_, tone, outages_))
            return voice;
        auto voice = std::make_unique<PortAudioSidetone>(library_, dispatcher_, tone, outages_);
        std::string error = voice->start();
        if (error.empty())
            return voice;
        return std::make_unique<PacedSidetone>(fallback(error), dispatcher_, tone);
    }

    std::string problem() const override {
        std::lock_guard lock(mutex_);
        return problem_;
    }

  private:
    std::shared_ptr<PacedEngine> fallback(const std::string& error) {
        std::lock_guard lock(mutex_);
        if (problem_.empty())
            problem_ = noSoundCardProblem(error);
        if (!fallback_)
            fallback_ = std::make_shared<PacedEngine>();
        return fallback_;
    }

    std::shared_ptr<PaLibrary> library_;
    Dispatcher dispatcher_;
    int sidetoneAmplitude_;
    std::shared_ptr<Outages> outages_;
    mutable std::mutex mutex_;
    std::string problem_;
    std::shared_ptr<PacedEngine> fallback_;
};

}  // namespace

std::unique_ptr<AudioSystem> createPortAudioSystem(const AudioOptions& options,
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
    return std::make_unique<PortAudioSystem>(std::move(library), options);
}

}  // namespace audio::detail
