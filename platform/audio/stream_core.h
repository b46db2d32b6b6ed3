// The part of an output stream shared by every real backend: the queue of written buffers that
// the consumer (the PortAudio callback or the real-time pacer) plays from, the queue of finished
// buffers that the notifier thread releases, and the UI-side state that turns a release into a
// call of the done handler on the UI thread.
//
// DoneTiming::WhenTaken notices come a little before the consumer takes a buffer's last sample
// (kNoticeLead), not after: the sender writes its next character on the notice, and it has to be
// queued before the current one runs out for the two to join without a gap. Waiting until the
// last sample was taken cost a device block or more per character, at every speed.
//
// Threads: write/reset/setDoneHandler/close on the UI thread; render on one consumer thread at a
// time; takeDue on the notifier thread. The consumer path neither locks nor allocates.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "source.h"
#include "spsc_queue.h"
#include "wave_out.h"

namespace audio::detail {

struct Entry {
    std::vector<std::int16_t> samples;
    std::uint64_t tag = 0;
    std::uint32_t generation = 0;
    std::size_t position = 0;  // samples already played
    double due = 0;            // when its last sample plays, on the consumer's clock
    bool dropped = false;      // dropped by a reset: freed without a notice
    bool noticed = false;      // its early notice has been sent (DoneTiming::WhenTaken)
};

struct Notice {
    std::uint64_t tag = 0;
    std::uint32_t generation = 0;
};

class StreamCore : public Source, public std::enable_shared_from_this<StreamCore> {
  public:
    // At most this many buffers are handed to the consumer at once; more wait on the UI side.
    static constexpr std::size_t kMaxInFlight = 512;
    // A WhenTaken notice is sent once no more than this many samples of the buffer are left to
    // render (40 ms). It covers the trip through the notifier and the UI thread and a burst of
    // device callbacks; it is shorter than the silence that ends every character, so the end of
    // a text is never announced while its last tone still sounds.
    static constexpr std::size_t kNoticeLead = 320;

    StreamCore(DoneTiming timing, Dispatcher dispatcher);
    ~StreamCore();
    StreamCore(const StreamCore&) = delete;
    StreamCore& operator=(const StreamCore&) = delete;

    // UI thread.
    void setDoneHandler(WaveOut::DoneHandler handler) { handler_ = std::move(handler); }
    void write(std::span<const std::int16_t> samples, std::uint64_t tag);
    void reset();
    // The WaveOut is going away: no handler is called any more.
    void close() { closed_ = true; }
    // Runs on the UI thread whenever a buffer is handed to the consumer (besides waking the
    // notifier), for a consumer that rests while there is nothing to play. Set before use.
    void setWrittenHook(std::function<void()> hook) { writtenHook_ = std::move(hook); }

    // Consumer thread. Fills `frames` samples of `out` from the written buffers (silence where
    // there are none).
    Rendered render(std::int16_t* out, std::size_t frames, double startTime) override;

    // Notifier thread. Sends the notices of finished buffers due by `now` (all of them when
    // `ignoreDue` or for DoneTiming::WhenTaken) to the UI thread and frees finished ones.
    double releaseDue(double now, bool ignoreDue = false) override;

    // Nothing written is waiting, playing or unreported.
    bool idle() const override { return inFlight_.load() == 0; }

    DoneTiming timing() const { return timing_; }

    // A buffer already reported done (early) still has samples to play. Whoever closes the
    // stream waits for them, so that the end of a text is not cut off.
    void waitForTail() const;

    // For measurements: when the first sample of the latest buffer that started will play, on
    // the consumer's clock, and how many buffers with samples have started.
    double lastStartTime() const { return lastStart_.load(); }
    std::uint64_t starts() const { return starts_.load(); }

  private:
    void dispatch(std::uint64_t tag, std::uint32_t generation);
    void deliver(std::uint64_t tag, std::uint32_t generation);  // UI thread
    void flushOverflow();                                       // UI thread
    void finish(Entry* entry);                                  // consumer thread
    void noticeEarly(Entry* entry);                             // consumer thread

    const DoneTiming timing_;
    const Dispatcher dispatcher_;

    // UI thread only.
    WaveOut::DoneHandler handler_;
    std::function<void()> writtenHook_;
    std::deque<Entry*> overflow_;
    bool closed_ = false;

    // Shared.
    std::atomic<std::uint32_t> generation_{0};
    std::atomic<std::size_t> inFlight_{0};
    std::atomic<bool> overflowWaiting_{false};
    SpscQueue<Entry*> pending_{kMaxInFlight};  // UI -> consumer
    SpscQueue<Entry*> done_{kMaxInFlight};     // consumer -> notifier
    SpscQueue<Notice> early_{kMaxInFlight};    // consumer -> notifier, WhenTaken notices
    std::atomic<bool> owesTail_{false};
    std::atomic<double> lastStart_{0};
    std::atomic<std::uint64_t> starts_{0};

    // Consumer thread only.
    Entry* playing_ = nullptr;
    bool finishedAny_ = false;
};

}  // namespace audio::detail
