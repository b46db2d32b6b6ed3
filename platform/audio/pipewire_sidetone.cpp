#include "pipewire_sidetone.h"

#include <pipewire/pipewire.h>
#include <spa/param/audio/format-utils.h>
#include <spa/param/props.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <mutex>
#include <thread>

namespace audio::detail {

namespace {

// The period asked of the graph, the next one whenever the stream keeps missing its cycles. The
// graph runs at the period of its most demanding client; at 8000 samples per second these are 16,
// 32 and 64 samples of the voice. Measured on a null sink: with 128 the tone came 7-8 ms after
// the key and the ticks 2.6-5.4 ms apart, never two at once; 256 halved the stream thread's
// wake-ups (375 to 187 a second, its processor time from 3.5 to 2 % of a core on a busy
// machine) but added 3 ms and brought back ticks in pairs, which the decoders take worse.
constexpr const char* kLatencySteps[] = {"128/48000", "256/48000", "512/48000"};
// The stream's resampler (8000 to the graph's rate) at its shortest filter: its default kept
// 32 samples (4 ms) of the voice back, this keeps 8 (1 ms), and the sine's images (7.2 and
// 8.8 kHz) stay 58 dB below it (recorded from a null sink's monitor).
constexpr const char* kResampleQuality = "0";
// While the server is gone, how often to look for it again; how long a new stream may take to
// play its first period (the session manager has to link it first).
constexpr double kRetryEvery = 2.0;
constexpr double kConnectTimeout = 2.0;

void initPipeWire() {
    static std::once_flag once;
    std::call_once(once, [] { pw_init(nullptr, nullptr); });
}

class PipeWireSidetone : public keytut::SidetoneVoice, public OutputProbe {
  public:
    PipeWireSidetone(const Dispatcher& dispatcher, const keytut::Tone& tone,
                     std::shared_ptr<Outages> outages)
        : core_(std::make_shared<SidetoneCore>(dispatcher, tone)), outages_(std::move(outages)) {}

    ~PipeWireSidetone() override {
        core_->close();
        stop_ = true;
        core_->wake();
        if (notifier_.joinable())
            notifier_.join();
        if (loop_) {
            disconnect();
            pw_thread_loop_stop(loop_);
            if (context_)
                pw_context_destroy(context_);
            pw_thread_loop_destroy(loop_);
        }
        if (lost_)
            outages_->back();
    }

    // Connects and starts playing; false when no server answers or the stream does not play.
    bool start() {
        initPipeWire();
        loop_ = pw_thread_loop_new("keytut-sidetone", nullptr);
        if (!loop_ || pw_thread_loop_start(loop_) < 0)
            return false;
        {
            Lock lock(loop_);
            // The client configuration with real-time scheduling for the stream's thread, where
            // the system allows it.
            context_ =
                pw_context_new(pw_thread_loop_get_loop(loop_),
                               pw_properties_new(PW_KEY_CONFIG_NAME, "client-rt.conf", nullptr), 0);
        }
        if (!context_ || !connect(false))
            return false;
        notifier_ = std::thread([this] { run(); });
        return true;
    }

    void setTickHandler(TickHandler tick) override { core_->setTickHandler(std::move(tick)); }
    void setTone(bool on) override { core_->setTone(on); }
    bool lost() const override { return lost_.load(); }

    // An inactive stream is left out of the graph's cycles: its thread sleeps.
    bool pause() override {
        if (lost_.load())
            return false;
        Lock lock(loop_);
        if (!stream_ || paused_)
            return false;
        core_->pause();
        paused_ = true;
        pw_stream_set_active(stream_, false);
        return true;
    }
    void resume() override {
        Lock lock(loop_);
        if (!paused_)
            return;
        paused_ = false;
        core_->resume();
        // The graph's clock ran on meanwhile: no missed cycles for the pause.
        resumed_.store(true);
        if (stream_)
            pw_stream_set_active(stream_, true);
    }
    const Source& source() const override { return *core_; }
    std::uint64_t underruns() const override { return missed_.load(); }
    std::string route() const override {
        double period = static_cast<double>(periodFrames_.load()) * 1000 / kSampleRate;
        char text[128];
        std::snprintf(text, sizeof text,
                      "PipeWire, node.latency %s asked, %.2f ms period, heard %.2f ms after "
                      "its cycle",
                      kLatencySteps[step_.load()], period, ahead_.load() * 1000);
        return text;
    }

  private:
    class Lock {
      public:
        explicit Lock(pw_thread_loop* loop) : loop_(loop) { pw_thread_loop_lock(loop_); }
        ~Lock() { pw_thread_loop_unlock(loop_); }
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

      private:
        pw_thread_loop* loop_;
    };

    // `paced`: the voice is paced silently meanwhile (the server was gone), and the pacing goes
    // on while the new stream waits for its first period, so that the ticks never pause.
    bool connect(bool paced) {
        Lock lock(loop_);
        streamRenders_ = false;
        failed_ = false;
        processed_ = 0;
        clock_.restart();
        lastTicks_ = 0;
        pwCore_ = pw_context_connect(context_, nullptr, 0);  // never starts a server
        if (!pwCore_)
            return false;
        static const pw_core_events coreEvents = [] {
            pw_core_events events{};
            events.version = PW_VERSION_CORE_EVENTS;
            events.error = &onCoreError;
            return events;
        }();
        pw_core_add_listener(pwCore_, &coreListener_, &coreEvents, this);
        if (!connectStream()) {
            disconnectLocked();
            return false;
        }
        // Wait, with the loop running, until the graph has asked for the first period.
        std::array<std::int16_t, SidetoneCore::kBlock> scratch{};
        double nextBlock = steadySeconds();
        double until = nextBlock + kConnectTimeout;
        while (processed_.load() == 0) {
            if (failed_ || steadySeconds() > until) {
                disconnectLocked();
                return false;
            }
            pw_thread_loop_unlock(loop_);
            double now = steadySeconds();
            for (; paced && now >= nextBlock; nextBlock += SidetoneCore::kTick) {
                core_->render(scratch.data(), scratch.size(), now);
                core_->releaseDue(now);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            pw_thread_loop_lock(loop_);
        }
        // The stream renders from its next period on; until now it played silence.
        streamRenders_.store(true, std::memory_order_release);
        return true;
    }

    // With the lock held.
    bool connectStream() {
        pw_properties* props = pw_properties_new(
            PW_KEY_MEDIA_TYPE, "Audio", PW_KEY_MEDIA_CATEGORY, "Playback", PW_KEY_MEDIA_ROLE,
            "Game", PW_KEY_APP_NAME, "Morse tutor", PW_KEY_NODE_NAME, "keytut-sidetone",
            PW_KEY_NODE_DESCRIPTION, "Morse key side-tone", PW_KEY_NODE_LATENCY,
            kLatencySteps[step_.load()], "resample.quality", kResampleQuality, nullptr);
        stream_ = pw_stream_new(pwCore_, "Side-tone", props);
        if (!stream_)
            return false;
        static const pw_stream_events streamEvents = [] {
            pw_stream_events events{};
            events.version = PW_VERSION_STREAM_EVENTS;
            events.state_changed = &onStreamState;
            events.process = &onProcess;
            return events;
        }();
        pw_stream_add_listener(stream_, &streamListener_, &streamEvents, this);
        std::uint8_t buffer[512];
        spa_pod_builder builder{};
        spa_pod_builder_init(&builder, buffer, sizeof buffer);
        spa_audio_info_raw info{};
        info.format = SPA_AUDIO_FORMAT_S16;
        info.rate = kSampleRate;
        info.channels = 1;
        info.position[0] = SPA_AUDIO_CHANNEL_MONO;
        const spa_pod* params[] = {
            spa_format_audio_raw_build(&builder, SPA_PARAM_EnumFormat, &info)};
        // The tone is decided in the graph's cycle itself, on the stream's real-time thread.
        auto flags = static_cast<pw_stream_flags>(
            PW_STREAM_FLAG_AUTOCONNECT | PW_STREAM_FLAG_MAP_BUFFERS | PW_STREAM_FLAG_RT_PROCESS);
        return pw_stream_connect(stream_, PW_DIRECTION_OUTPUT, PW_ID_ANY, flags, params,
                                 std::size(params)) >= 0;
    }

    // With the lock held: no callback of the stream runs after this, and the ticks are
    // released by whoever renders next.
    void disconnectLocked() {
        if (stream_) {
            spa_hook_remove(&streamListener_);
            pw_stream_destroy(stream_);
            stream_ = nullptr;
        }
        if (pwCore_) {
            spa_hook_remove(&coreListener_);
            pw_core_disconnect(pwCore_);
            pwCore_ = nullptr;
        }
    }

    void disconnect() {
        Lock lock(loop_);
        disconnectLocked();
    }

    static void onCoreError(void* user, std::uint32_t id, int, int res, const char*) {
        // The connection itself broke: the server has gone.
        if (id == PW_ID_CORE && res == -EPIPE)
            static_cast<PipeWireSidetone*>(user)->fail();
    }

    static void onStreamState(void* user, pw_stream_state, pw_stream_state state, const char*) {
        if (state == PW_STREAM_STATE_ERROR || state == PW_STREAM_STATE_UNCONNECTED)
            static_cast<PipeWireSidetone*>(user)->fail();
    }

    void fail() {
        failed_ = true;
        core_->wake();
    }

    // The graph's cycle, on the stream's real-time thread: render the next period now, so that
    // its tone is decided as late as the graph allows, and hand on the ticks heard by now.
    static void onProcess(void* user) {
        auto* self = static_cast<PipeWireSidetone*>(user);
        pw_buffer* b = pw_stream_dequeue_buffer(self->stream_);
        if (!b)
            return;
        spa_data& data = b->buffer->datas[0];
        auto* out = static_cast<std::int16_t*>(data.data);
        if (!out) {
            pw_stream_queue_buffer(self->stream_, b);
            return;
        }
        std::size_t frames = data.maxsize / sizeof(std::int16_t);
        if (b->requested > 0 && b->requested < frames)
            frames = static_cast<std::size_t>(b->requested);
        double now = steadySeconds();
        if (!self->streamRenders_.load(std::memory_order_acquire)) {
            // Connecting: whoever paced the voice still renders it.
            std::memset(out, 0, frames * sizeof(std::int16_t));
            self->queue(b, data, frames);
            return;
        }
        double heard = now + static_cast<double>(frames) / kSampleRate;  // if nothing is known
        pw_time time{};
        if (pw_stream_get_time_n(self->stream_, &time, sizeof time) == 0 && time.rate.denom > 0) {
            double graph = static_cast<double>(time.rate.num) / time.rate.denom;
            // The graph takes what is rendered now in its next cycle, a period after the start
            // of this one; what is queued and in the resampler plays first, then the graph's
            // delay to the device. (A capture of a null sink's monitor saw the tone start a
            // period later than the graph's delay alone says.)
            heard = static_cast<double>(time.now) / 1e9 +
                    static_cast<double>(frames) / kSampleRate +
                    static_cast<double>(time.delay) * graph +
                    static_cast<double>(time.buffered + time.queued) / kSampleRate;
            if (self->resumed_.exchange(false))
                self->lastTicks_ = 0;
            self->countMissedCycles(time.ticks, graph, frames);
            self->ahead_.store(heard - now, std::memory_order_relaxed);
        }
        self->core_->render(out, frames, self->clock_.next(heard, frames));
        self->queue(b, data, frames);
        // Cycles come every period, steadily: each hands on the ticks whose sound is heard
        // within half a period of now, so no thread wakes for them alone.
        self->core_->releaseDue(now + static_cast<double>(frames) / kSampleRate / 2);
    }

    // Hands a rendered period to the graph.
    void queue(pw_buffer* b, spa_data& data, std::size_t frames) {
        data.chunk->offset = 0;
        data.chunk->stride = sizeof(std::int16_t);
        data.chunk->size = static_cast<std::uint32_t>(frames * sizeof(std::int16_t));
        b->size = frames;
        pw_stream_queue_buffer(stream_, b);
        periodFrames_.store(frames, std::memory_order_relaxed);
        processed_.fetch_add(1, std::memory_order_relaxed);
    }

    // The graph's clock moved on by more than one period since the last cycle: this stream
    // missed cycles, heard as a break in the tone.
    void countMissedCycles(std::uint64_t ticks, double graphSeconds, std::size_t frames) {
        if (lastTicks_ != 0 && ticks > lastTicks_) {
            double moved = static_cast<double>(ticks - lastTicks_) * graphSeconds;
            if (moved > 1.5 * static_cast<double>(lastFrames_) / kSampleRate)
                missed_.fetch_add(1, std::memory_order_relaxed);
        }
        lastTicks_ = ticks;
        lastFrames_ = frames;
    }

    void run() {
        detail::watchServerVoice(
            *core_, *outages_, lost_, stop_, kRetryEvery,
            {[this] { return processed_.load(); }, [this] { return missed_.load(); },
             [this] { return failed_.load(); },
             [this] { return step_ + 1 < std::size(kLatencySteps); }, [this] { stepUp(); },
             [this] { disconnect(); }, [this] { return connect(true); },
             [this] { return pausedNow(); }});
    }

    bool pausedNow() {
        Lock lock(loop_);
        return paused_;
    }

    // The stream keeps missing its cycles: ask for the next longer period, in place.
    void stepUp() {
        Lock lock(loop_);
        ++step_;
        spa_dict_item item = SPA_DICT_ITEM_INIT(PW_KEY_NODE_LATENCY, kLatencySteps[step_.load()]);
        spa_dict dict = SPA_DICT_INIT(&item, 1);
        if (stream_)
            pw_stream_update_properties(stream_, &dict);
    }

    std::shared_ptr<SidetoneCore> core_;
    std::shared_ptr<Outages> outages_;
    pw_thread_loop* loop_ = nullptr;
    pw_context* context_ = nullptr;
    // Under the loop's lock.
    pw_core* pwCore_ = nullptr;
    spa_hook coreListener_{};
    pw_stream* stream_ = nullptr;
    spa_hook streamListener_{};
    std::atomic<std::size_t> step_{0};
    bool paused_ = false;
    // Whoever renders.
    PlaybackClock clock_;
    std::uint64_t lastTicks_ = 0;
    std::size_t lastFrames_ = 0;
    std::atomic<bool> failed_{false};
    std::atomic<bool> streamRenders_{false};  // else the stream plays silence
    std::atomic<bool> resumed_{false};
    std::atomic<std::uint64_t> processed_{0};
    std::atomic<std::uint64_t> missed_{0};
    std::atomic<std::size_t> periodFrames_{0};
    std::atomic<double> ahead_{0};  // from a cycle's start to its first sample heard
    std::atomic<bool> lost_{false};
    std::atomic<bool> stop_{false};
    std::thread notifier_;
};

}  // namespace

std::unique_ptr<keytut::SidetoneVoice> openPipeWireSidetone(const Dispatcher& dispatcher,
                                                            const keytut::Tone& tone,
                                                            std::shared_ptr<Outages> outages) {
    auto voice = std::make_unique<PipeWireSidetone>(dispatcher, tone, std::move(outages));
    if (!voice->start())
        return nullptr;
    return voice;
}

}  // namespace audio::detail
