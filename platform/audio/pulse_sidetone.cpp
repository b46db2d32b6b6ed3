#include "pulse_sidetone.h"

#include <pulse/pulseaudio.h>

#include <iterator>
#include <thread>

namespace audio::detail {

namespace {

constexpr std::uint32_t kBytesPerMs = kSampleRate / 1000 * sizeof(std::int16_t);
// The server buffer asked for, in milliseconds; the next one whenever the stream keeps running
// dry. Measured on a null sink, keying 60 ms dots: 11 ms gave 12.8-13.8 ms from key to tone and
// an underrun every few seconds; 10 ms hardly less delay and twice the breaks in the tone.
constexpr std::uint32_t kBufferSteps[] = {11, 15, 20, 30};
// The server asks for sound a tick (5 ms) at a time, and each request hands on the ticks heard
// by then: the ticks come as evenly as the requests, and no thread of ours wakes for them alone.
// (4 ms took 1 ms off the delay but woke the process 250 times a second instead of 200.)
constexpr std::uint32_t kRequestMs = 5;
// While the server is gone, how often to look for it again, and how long to wait for it.
constexpr double kRetryEvery = 2.0;
constexpr double kConnectTimeout = 2.0;

class PulseSidetone : public keytut::SidetoneVoice, public OutputProbe {
  public:
    PulseSidetone(const Dispatcher& dispatcher, const keytut::Tone& tone,
                  std::shared_ptr<Outages> outages)
        : core_(std::make_shared<SidetoneCore>(dispatcher, tone)), outages_(std::move(outages)) {}

    ~PulseSidetone() override {
        core_->close();
        stop_ = true;
        core_->wake();
        if (notifier_.joinable())
            notifier_.join();
        disconnect();
        if (mainloop_) {
            pa_threaded_mainloop_stop(mainloop_);
            pa_threaded_mainloop_free(mainloop_);
        }
        if (lost_)
            outages_->back();
    }

    // Connects and starts playing; false when no server answers.
    bool start() {
        mainloop_ = pa_threaded_mainloop_new();
        if (!mainloop_ || pa_threaded_mainloop_start(mainloop_) < 0)
            return false;
        if (!connect())
            return false;
        notifier_ = std::thread([this] { run(); });
        return true;
    }

    void setTickHandler(TickHandler tick) override { core_->setTickHandler(std::move(tick)); }
    void setTone(bool on) override { core_->setTone(on); }
    bool lost() const override { return lost_.load(); }

    // Corked, the stream asks for nothing and the server plays nothing of it.
    bool pause() override {
        if (lost_.load())
            return false;
        Lock lock(mainloop_);
        if (!stream_ || paused_)
            return false;
        core_->pause();
        paused_ = true;
        unref(pa_stream_cork(stream_, 1, nullptr, nullptr));
        return true;
    }
    // The silence written before the pause is dropped, so that the server asks for a whole
    // buffer at once and the first block it plays is decided now.
    void resume() override {
        Lock lock(mainloop_);
        if (!paused_)
            return;
        paused_ = false;
        core_->resume();
        if (!stream_)
            return;
        unref(pa_stream_flush(stream_, nullptr, nullptr));
        unref(pa_stream_cork(stream_, 0, nullptr, nullptr));
    }

    const Source& source() const override { return *core_; }
    std::uint64_t underruns() const override { return underruns_.load(); }
    std::string route() const override {
        Lock lock(mainloop_);
        return "PulseAudio, " + std::to_string(kBufferSteps[step_]) + " ms buffer asked";
    }

  private:
    class Lock {
      public:
        explicit Lock(pa_threaded_mainloop* mainloop) : mainloop_(mainloop) {
            pa_threaded_mainloop_lock(mainloop_);
        }
        ~Lock() { pa_threaded_mainloop_unlock(mainloop_); }
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

      private:
        pa_threaded_mainloop* mainloop_;
    };

    static void unref(pa_operation* operation) {
        if (operation)
            pa_operation_unref(operation);
    }

    // Waits, with the lock held, until `ready` or `failed` says so or the time is up; the
    // mainloop thread runs meanwhile.
    template <typename Ready, typename Failed>
    bool waitFor(Ready ready, Failed failed) {
        double until = steadySeconds() + kConnectTimeout;
        while (!ready()) {
            if (failed() || steadySeconds() > until)
                return false;
            pa_threaded_mainloop_unlock(mainloop_);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            pa_threaded_mainloop_lock(mainloop_);
        }
        return true;
    }

    bool connect() {
        Lock lock(mainloop_);
        failed_ = false;
        context_ = pa_context_new(pa_threaded_mainloop_get_api(mainloop_), "Morse key side-tone");
        if (!context_)
            return false;
        pa_context_set_state_callback(context_, &onContextState, this);
        // Never start a server of our own: no server, no voice here.
        if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0 ||
            !waitFor([this] { return pa_context_get_state(context_) == PA_CONTEXT_READY; },
                     [this] { return !PA_CONTEXT_IS_GOOD(pa_context_get_state(context_)); }) ||
            !connectStream()) {
            disconnectLocked();
            return false;
        }
        return true;
    }

    // With the lock held.
    bool connectStream() {
        pa_sample_spec spec{PA_SAMPLE_S16NE, kSampleRate, 1};
        stream_ = pa_stream_new(context_, "Side-tone", &spec, nullptr);
        if (!stream_)
            return false;
        pa_stream_set_state_callback(stream_, &onStreamState, this);
        pa_stream_set_write_callback(stream_, &onWrite, this);
        pa_stream_set_underflow_callback(stream_, &onUnderflow, this);
        bufferSeconds_ = kBufferSteps[step_] / 1000.0;
        pa_buffer_attr attr{};
        attr.maxlength = static_cast<std::uint32_t>(-1);
        attr.tlength = kBufferSteps[step_] * kBytesPerMs;
        attr.prebuf = static_cast<std::uint32_t>(-1);
        attr.minreq = kRequestMs * kBytesPerMs;
        attr.fragsize = static_cast<std::uint32_t>(-1);
        // The client library lets PULSE_LATENCY_MSEC, when the user has set it, take the place
        // of tlength.
        auto flags = static_cast<pa_stream_flags_t>(
            PA_STREAM_ADJUST_LATENCY | PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_AUTO_TIMING_UPDATE |
            (paused_ ? PA_STREAM_START_CORKED : 0));
        clock_.restart();
        return pa_stream_connect_playback(stream_, nullptr, &attr, flags, nullptr, nullptr) >= 0 &&
               waitFor([this] { return pa_stream_get_state(stream_) == PA_STREAM_READY; },
                       [this] { return !PA_STREAM_IS_GOOD(pa_stream_get_state(stream_)); });
    }

    // With the lock held: no callback of the stream runs after this, and the ticks are
    // released by whoever renders next.
    void disconnectStream() {
        if (!stream_)
            return;
        pa_stream_set_write_callback(stream_, nullptr, nullptr);
        pa_stream_set_underflow_callback(stream_, nullptr, nullptr);
        pa_stream_set_state_callback(stream_, nullptr, nullptr);
        pa_stream_disconnect(stream_);
        pa_stream_unref(stream_);
        stream_ = nullptr;
    }

    void disconnectLocked() {
        disconnectStream();
        if (context_) {
            pa_context_set_state_callback(context_, nullptr, nullptr);
            pa_context_disconnect(context_);
            pa_context_unref(context_);
            context_ = nullptr;
        }
    }

    void disconnect() {
        if (!mainloop_)
            return;
        Lock lock(mainloop_);
        disconnectLocked();
    }

    static void onContextState(pa_context* context, void* user) {
        auto* self = static_cast<PulseSidetone*>(user);
        if (!PA_CONTEXT_IS_GOOD(pa_context_get_state(context)))
            self->fail();
    }

    static void onStreamState(pa_stream* stream, void* user) {
        auto* self = static_cast<PulseSidetone*>(user);
        if (!PA_STREAM_IS_GOOD(pa_stream_get_state(stream)))
            self->fail();
    }

    void fail() {
        failed_ = true;
        core_->wake();
    }

    // The server wants `bytes` more: render them now, so each block's tone is decided as late as
    // the server allows.
    static void onWrite(pa_stream* stream, std::size_t bytes, void* user) {
        auto* self = static_cast<PulseSidetone*>(user);
        void* data = nullptr;
        std::size_t size = bytes;
        if (pa_stream_begin_write(stream, &data, &size) < 0 || !data)
            return;
        std::size_t frames = size / sizeof(std::int16_t);
        // What is already written plays first: the new samples are heard after it.
        double ahead = self->bufferSeconds_;
        pa_usec_t latency = 0;
        int negative = 0;
        if (pa_stream_get_latency(stream, &latency, &negative) == 0)
            ahead = negative ? 0.0 : static_cast<double>(latency) / 1e6;
        double now = steadySeconds();
        self->core_->render(static_cast<std::int16_t*>(data), frames,
                            self->clock_.next(now + ahead, frames));
        pa_stream_write(stream, data, frames * sizeof(std::int16_t), nullptr, 0, PA_SEEK_RELATIVE);
        self->requests_.fetch_add(1, std::memory_order_relaxed);
        // The server asks every few milliseconds, steadily: the ticks whose sound has been heard
        // by now are handed on from here, so no thread wakes for them alone.
        self->core_->releaseAtRequest(now);
    }

    static void onUnderflow(pa_stream*, void* user) {
        static_cast<PulseSidetone*>(user)->underruns_.fetch_add(1, std::memory_order_relaxed);
    }

    void run() {
        detail::watchServerVoice(
            *core_, *outages_, lost_, stop_, kRetryEvery,
            {[this] { return requests_.load(); }, [this] { return underruns_.load(); },
             [this] { return failed_.load(); },
             [this] { return step_ + 1 < std::size(kBufferSteps); }, [this] { stepUp(); },
             [this] { disconnect(); }, [this] { return connect(); },
             [this] { return pausedNow(); }});
    }

    bool pausedNow() {
        Lock lock(mainloop_);
        return paused_;
    }

    // The stream keeps running dry: the next longer buffer.
    void stepUp() {
        Lock lock(mainloop_);
        disconnectStream();
        ++step_;
        if (!connectStream())
            failed_ = true;
    }

    std::shared_ptr<SidetoneCore> core_;
    std::shared_ptr<Outages> outages_;
    pa_threaded_mainloop* mainloop_ = nullptr;
    // Under the mainloop's lock.
    pa_context* context_ = nullptr;
    pa_stream* stream_ = nullptr;
    std::size_t step_ = 0;
    bool paused_ = false;
    double bufferSeconds_ = 0;
    PlaybackClock clock_;  // whoever renders
    std::atomic<bool> failed_{false};
    std::atomic<std::uint64_t> requests_{0};
    std::atomic<std::uint64_t> underruns_{0};
    std::atomic<bool> lost_{false};
    std::atomic<bool> stop_{false};
    std::thread notifier_;
};

}  // namespace

std::unique_ptr<keytut::SidetoneVoice> openPulseSidetone(const Dispatcher& dispatcher,
                                                         const keytut::Tone& tone,
                                                         std::shared_ptr<Outages> outages) {
    auto voice = std::make_unique<PulseSidetone>(dispatcher, tone, std::move(outages));
    if (!voice->start())
        return nullptr;
    return voice;
}

}  // namespace audio::detail
