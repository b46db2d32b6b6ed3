// The part of the key screens' voice shared by every backend: the tone the consumer renders in
// blocks of 40 samples, each block's tone decided when the consumer renders it, and the ticks,
// one per 5 ms of playback, that the notifier releases at their playback time and the UI thread
// hands to the tick handler.
//
// Normally every rendered block is one tick. When the device stalls (an underrun, a stream
// restarted after the sound server fell behind) the playback clock jumps ahead of the samples
// rendered; the ticks follow the clock, not the sample count, so the key screens' timing stays
// true through the stall instead of losing its length.
//
// Threads: setTickHandler/setTone/close on the UI thread; render on one consumer thread at a
// time; the ticks released by one thread at a time: the notifier (releaseDue), or the consumer
// itself at the device's requests (releaseAtRequest). render neither locks nor allocates.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

#include "core/tone.h"
#include "keying/sidetone.h"
#include "source.h"
#include "spsc_queue.h"
#include "wave_out.h"

namespace audio::detail {

class SidetoneCore : public Source, public std::enable_shared_from_this<SidetoneCore> {
  public:
    static constexpr std::size_t kBlock = 40;  // one tick, 5 ms
    static constexpr double kTick = 0.005;
    // A stall longer than this (the machine slept, say) is not made up in ticks: the clock
    // starts again from the moment playback resumed.
    static constexpr double kMaxCatchUp = 2.0;

    // Plays `tone` while the key is down. With soft edges a tone rises through the first block
    // after the key went down and falls through the first block after it went up, so the tone
    // heard at half strength lasts as long as the key was down.
    SidetoneCore(Dispatcher dispatcher, const keytut::Tone& tone);
    SidetoneCore(const SidetoneCore&) = delete;
    SidetoneCore& operator=(const SidetoneCore&) = delete;

    // UI thread.
    void setTickHandler(keytut::SidetoneVoice::TickHandler tick) { tick_ = std::move(tick); }
    void setTone(bool on);
    // The voice is going away: no tick handler runs any more.
    void close() { closed_ = true; }
    // The stream is paused: ticks waiting or released from now on are dropped. On resume the
    // ticks start again from the next rendered block, whatever the clock did meanwhile.
    void pause();
    void resume();

    // Consumer thread.
    Rendered render(std::int16_t* out, std::size_t frames, double startTime) override;
    // Notifier thread.
    double releaseDue(double now, bool ignoreDue = false) override;
    // For a consumer that hands on the ticks itself at each of the device's requests, which come
    // about once a tick with some jitter: every tick more than a tick overdue, and one more if it
    // is due within half a tick of `now`. Requests a little early or late then hand on a tick
    // each, not two and then none, whatever the phase of the requests against the ticks.
    void releaseAtRequest(double now);
    bool idle() const override { return false; }

    // For measurements: the delay, in seconds, from the latest setTone(true) that changed the
    // tone to the playback time of the first toned sample, and how many such onsets there were.
    double lastKeyToTone() const { return lastKeyToTone_.load(); }
    std::uint64_t onsets() const { return onsets_.load(); }

  private:
    void deliverTicks();  // UI thread
    double release(double now, bool ignoreDue, std::uint64_t limit);

    const Dispatcher dispatcher_;
    const keytut::Tone tone_;

    // UI thread only.
    keytut::SidetoneVoice::TickHandler tick_;
    bool closed_ = false;

    // Shared.
    std::atomic<bool> keyDown_{false};
    std::atomic<double> toneRequested_{0};  // when the tone was last switched on
    std::atomic<double> lastKeyToTone_{-1};
    std::atomic<std::uint64_t> onsets_{0};
    SpscQueue<double> dues_{4096};  // consumer -> notifier: when each block ends playing
    std::atomic<std::uint64_t> ticksWaiting_{0};
    std::atomic<bool> deliveryPosted_{false};
    std::atomic<bool> notifierWaits_{true};  // the notifier found no tick to wait for
    std::atomic<bool> paused_{false};
    std::atomic<bool> restartClock_{false};  // the consumer starts the ticks afresh
    // Dues before this steady time were pushed before the pause: dropped, not released.
    std::atomic<double> dropBefore_{0};

    // Consumer thread only.
    // Queues the ticks that end by `end`; true if there were any.
    bool pushDuesUntil(double end);
    enum class Block { Silent, Rising, Steady, Falling };
    std::size_t blockPosition_ = 0;
    double nextDue_ = -1;  // playback time of the next tick; below 0 until the first render
    Block block_ = Block::Silent;
    bool previousKeyDown_ = false;
    std::size_t phase_ = 0;  // samples of tone since the key went down
};

}  // namespace audio::detail
