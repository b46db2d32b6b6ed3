// The part of an output stream shared by every real backend: the queue of written buffers that
// the consumer (the PortAudio callback or the real-time pacer) plays from, the queue of finished
// buffers that the notifier thread releases, and the UI-side state that turns a release into a
// call of the done handler on the UI thread.
//
// Threads: write/reset/setDoneHandler/close on the UI thread; render on one consumer thread at a
// time; takeDue on the notifier thread. The consumer path neither locks nor allocates.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <semaphore>
#include <span>
#include <vector>

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
};

// Where a render call put samples of written buffers within its block.
struct Rendered {
    std::size_t first = 0;  // index of the first such sample
    std::size_t end = 0;    // one past the last; first == end when the block is all silence
};

class StreamCore : public std::enable_shared_from_this<StreamCore> {
  public:
    // At most this many buffers are handed to the consumer at once; more wait on the UI side.
    static constexpr std::size_t kMaxInFlight = 512;

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

    // Consumer thread. Fills `frames` samples of `out` from the written buffers (silence where
    // there are none); `startTime` is when out[0] plays, on the clock the notifier waits on.
    Rendered render(std::int16_t* out, std::size_t frames, double startTime);

    // Notifier thread. Sends the notices of finished buffers due by `now` (all of them when
    // `ignoreDue` or for DoneTiming::WhenTaken) to the UI thread and frees dropped ones.
    // Returns the seconds until the next notice is due, or a negative value if none waits.
    double releaseDue(double now, bool ignoreDue = false);
    // Notifier thread: sleeps until the consumer finishes a buffer or `seconds` pass.
    void waitForWork(double seconds);
    // Any thread: wakes the notifier.
    void wake() { signal_.release(); }

    DoneTiming timing() const { return timing_; }

  private:
    void dispatch(std::uint64_t tag, std::uint32_t generation);
    void deliver(std::uint64_t tag, std::uint32_t generation);  // UI thread
    void flushOverflow();                                       // UI thread
    void finish(Entry* entry);                                  // consumer thread

    const DoneTiming timing_;
    const Dispatcher dispatcher_;

    // UI thread only.
    WaveOut::DoneHandler handler_;
    std::deque<Entry*> overflow_;
    bool closed_ = false;

    // Shared.
    std::atomic<std::uint32_t> generation_{0};
    std::atomic<std::size_t> inFlight_{0};
    std::atomic<bool> overflowWaiting_{false};
    SpscQueue<Entry*> pending_{kMaxInFlight};  // UI -> consumer
    SpscQueue<Entry*> done_{kMaxInFlight};     // consumer -> notifier
    std::counting_semaphore<> signal_{0};

    // Consumer thread only.
    Entry* playing_ = nullptr;
    bool finishedAny_ = false;
};

}  // namespace audio::detail
