#include "tools/monitor_capture.h"

#include <pipewire/pipewire.h>
#include <spa/param/audio/format-utils.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <iterator>
#include <mutex>
#include <thread>

#include "platform/audio/backends.h"

namespace {

constexpr std::uint32_t kRate = 48000;                 // the null sink's: no resampler on the way
constexpr int kThreshold = 1000;                       // the side-tone's peak is 5000
constexpr std::uint32_t kSilenceBefore = kRate / 100;  // 10 ms of silence before a start
// Longer than any the voice asks: the graph runs at the shortest period asked, so the voice's
// own is measured, not one this capture imposes.
constexpr const char* kLatency = "2048/48000";
constexpr std::uint32_t kPause = kRate / 1000;  // shorter pauses are inside a tone

class PipeWireMonitor : public MonitorCapture {
  public:
    ~PipeWireMonitor() override {
        if (!loop_)
            return;
        pw_thread_loop_lock(loop_);
        if (stream_)
            pw_stream_destroy(stream_);
        if (core_)
            pw_core_disconnect(core_);
        pw_thread_loop_unlock(loop_);
        pw_thread_loop_stop(loop_);
        if (context_)
            pw_context_destroy(context_);
        pw_thread_loop_destroy(loop_);
    }

    bool start() {
        pw_init(nullptr, nullptr);
        loop_ = pw_thread_loop_new("monitor", nullptr);
        if (!loop_ || pw_thread_loop_start(loop_) < 0)
            return false;
        pw_thread_loop_lock(loop_);
        context_ =
            pw_context_new(pw_thread_loop_get_loop(loop_),
                           pw_properties_new(PW_KEY_CONFIG_NAME, "client-rt.conf", nullptr), 0);
        core_ = context_ ? pw_context_connect(context_, nullptr, 0) : nullptr;
        bool ok = core_ && connectStream();
        pw_thread_loop_unlock(loop_);
        if (!ok)
            return false;
        auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (periods_.load() == 0 && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return periods_.load() > 0;
    }

    std::vector<double> delaysAfter(const std::vector<double>& keyDowns,
                                    double within) const override {
        std::lock_guard lock(mutex_);
        std::vector<double> delays;
        for (double down : keyDowns) {
            auto it = std::lower_bound(starts_.begin(), starts_.end(), down);
            if (it != starts_.end() && *it - down <= within)
                delays.push_back((*it - down) * 1000);
        }
        return delays;
    }

    std::vector<double> silences() const override {
        std::lock_guard lock(mutex_);
        return silences_;
    }

    std::string state() const override {
        std::lock_guard lock(mutex_);
        return std::to_string(periods_.load()) + " periods captured, " +
               std::to_string(starts_.size()) + " tone starts";
    }

  private:
    bool connectStream() {
        stream_ = pw_stream_new(core_, "Side-tone monitor",
                                pw_properties_new(PW_KEY_MEDIA_TYPE, "Audio", PW_KEY_MEDIA_CATEGORY,
                                                  "Capture", PW_KEY_STREAM_CAPTURE_SINK, "true",
                                                  PW_KEY_NODE_LATENCY, kLatency, nullptr));
        if (!stream_)
            return false;
        static const pw_stream_events events = [] {
            pw_stream_events e{};
            e.version = PW_VERSION_STREAM_EVENTS;
            e.process = &onProcess;
            return e;
        }();
        pw_stream_add_listener(stream_, &listener_, &events, this);
        std::uint8_t buffer[512];
        spa_pod_builder builder{};
        spa_pod_builder_init(&builder, buffer, sizeof buffer);
        spa_audio_info_raw info{};
        info.format = SPA_AUDIO_FORMAT_S16;
        info.rate = kRate;
        info.channels = 1;
        info.position[0] = SPA_AUDIO_CHANNEL_MONO;
        const spa_pod* params[] = {
            spa_format_audio_raw_build(&builder, SPA_PARAM_EnumFormat, &info)};
        auto flags = static_cast<pw_stream_flags>(
            PW_STREAM_FLAG_AUTOCONNECT | PW_STREAM_FLAG_MAP_BUFFERS | PW_STREAM_FLAG_RT_PROCESS);
        return pw_stream_connect(stream_, PW_DIRECTION_INPUT, PW_ID_ANY, flags, params,
                                 std::size(params)) >= 0;
    }

    static void onProcess(void* user) {
        auto* self = static_cast<PipeWireMonitor*>(user);
        double now = audio::detail::steadySeconds();
        pw_buffer* b = pw_stream_dequeue_buffer(self->stream_);
        if (!b)
            return;
        const spa_data& data = b->buffer->datas[0];
        if (data.data && data.chunk) {
            const auto* in = static_cast<const std::int16_t*>(data.data) +
                             data.chunk->offset / sizeof(std::int16_t);
            std::size_t frames = data.chunk->size / sizeof(std::int16_t);
            for (std::size_t i = 0; i < frames; ++i) {
                if (std::abs(in[i]) < kThreshold) {
                    ++self->silent_;
                    continue;
                }
                if (self->silent_ >= kPause) {
                    std::lock_guard lock(self->mutex_);
                    if (self->silent_ >= kSilenceBefore)
                        self->starts_.push_back(now);
                    if (self->toneSeen_)
                        self->silences_.push_back(self->silent_ * 1000.0 / kRate);
                }
                self->toneSeen_ = true;
                self->silent_ = 0;
            }
        }
        pw_stream_queue_buffer(self->stream_, b);
        self->periods_.fetch_add(1);
    }

    pw_thread_loop* loop_ = nullptr;
    pw_context* context_ = nullptr;
    pw_core* core_ = nullptr;
    pw_stream* stream_ = nullptr;
    spa_hook listener_{};
    std::uint32_t silent_ = kSilenceBefore;  // capture thread
    bool toneSeen_ = false;
    std::atomic<std::uint64_t> periods_{0};
    mutable std::mutex mutex_;
    std::vector<double> starts_;
    std::vector<double> silences_;
};

}  // namespace

std::unique_ptr<MonitorCapture> MonitorCapture::open() {
    auto monitor = std::make_unique<PipeWireMonitor>();
    if (!monitor->start())
        return nullptr;
    return monitor;
}
