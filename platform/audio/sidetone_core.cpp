#include "sidetone_core.h"

#include <cmath>

namespace audio::detail {

double steadySeconds();

SidetoneCore::SidetoneCore(Dispatcher dispatcher, const keytut::Tone& tone)
    : dispatcher_(std::move(dispatcher)), tone_(tone) {
    static_assert(kBlock == keytut::kEdgeSamples, "a soft edge takes one block");
}

void SidetoneCore::setTone(bool on) {
    if (on && !keyDown_.load(std::memory_order_relaxed))
        toneRequested_.store(steadySeconds());
    keyDown_.store(on, std::memory_order_release);
}

void SidetoneCore::pause() {
    paused_.store(true);
}

void SidetoneCore::resume() {
    dropBefore_.store(steadySeconds());
    restartClock_.store(true);
    paused_.store(false);
    ticksWaiting_.store(0);
}

Rendered SidetoneCore::render(std::int16_t* out, std::size_t frames, double startTime) {
    Rendered rendered{frames, frames};
    const bool soft = tone_.settings().softEdges;
    for (std::size_t i = 0; i < frames; ++i) {
        if (blockPosition_ == 0) {
            const bool down = keyDown_.load(std::memory_order_acquire);
            if (down && !previousKeyDown_) {
                double heard = startTime + static_cast<double>(i) / kSampleRate;
                lastKeyToTone_.store(heard - toneRequested_.load());
                onsets_.fetch_add(1);
                // Every tone starts from phase 0, on a zero crossing.
                phase_ = 0;
            }
            if (down) {
                block_ = previousKeyDown_ || !soft ? Block::Steady : Block::Rising;
            } else {
                block_ = previousKeyDown_ && soft ? Block::Falling : Block::Silent;
            }
            previousKeyDown_ = down;
        }
        switch (block_) {
            case Block::Silent:
                out[i] = 0;
                break;
            case Block::Rising:
                out[i] = tone_.shaped(phase_++, blockPosition_);
                break;
            case Block::Steady:
                out[i] = tone_.at(phase_++);
                break;
            case Block::Falling:
                out[i] = tone_.shaped(phase_++, kBlock - 1 - blockPosition_);
                break;
        }
        if (block_ != Block::Silent) {
            if (rendered.first == rendered.end)
                rendered.first = i;
            rendered.end = i + 1;
        }
        if (++blockPosition_ == kBlock)
            blockPosition_ = 0;
    }
    bool ticked = pushDuesUntil(startTime + static_cast<double>(frames) / kSampleRate);
    // The notifier sleeps until the next tick is due; it needs waking only when it had none.
    if (ticked && notifierWaits_.exchange(false))
        wake();
    return rendered;
}

bool SidetoneCore::pushDuesUntil(double end) {
    // Half a sample of slack: a block that ends on the grid ends its tick, whatever the rounding.
    constexpr double kSlack = 0.5 / kSampleRate;
    if (restartClock_.exchange(false, std::memory_order_acq_rel))
        nextDue_ = -1;
    if (nextDue_ < 0 || end - nextDue_ > kMaxCatchUp)
        nextDue_ = end - static_cast<double>(blockPosition_) / kSampleRate +
                   (blockPosition_ == 0 ? 0 : kTick);
    bool pushed = false;
    while (nextDue_ <= end + kSlack) {
        // Full only if the notifier stalled for 20 s; the tick is then lost.
        (void)dues_.push(nextDue_);
        nextDue_ += kTick;
        pushed = true;
    }
    return pushed;
}

double SidetoneCore::releaseDue(double now, bool ignoreDue) {
    return release(now, ignoreDue, UINT64_MAX);
}

void SidetoneCore::releaseAtRequest(double now) {
    release(now - kTick, false, UINT64_MAX);
    release(now + kTick / 2, false, 1);
}

double SidetoneCore::release(double now, bool ignoreDue, std::uint64_t limit) {
    std::uint64_t released = 0;
    double untilNext = -1;
    while (released < limit) {
        double* due = dues_.front();
        if (!due) {
            // Say so before looking again, so that a tick pushed in between wakes us.
            notifierWaits_.store(true);
            due = dues_.front();
            if (!due)
                break;
            notifierWaits_.store(false);
        }
        if (!ignoreDue && *due > now && !paused_.load()) {
            untilNext = *due - now;
            break;
        }
        const bool dropped = paused_.load() || *due < dropBefore_.load();
        dues_.pop();
        if (!dropped)
            ++released;
    }
    if (released == 0)
        return untilNext;
    ticksWaiting_.fetch_add(released);
    // One posted delivery at a time: a busy UI thread gets the ticks it missed in one go.
    if (!deliveryPosted_.exchange(true)) {
        if (dispatcher_) {
            dispatcher_([self = shared_from_this()] { self->deliverTicks(); });
        } else {
            deliverTicks();
        }
    }
    return untilNext;
}

void SidetoneCore::deliverTicks() {
    deliveryPosted_.store(false);
    std::uint64_t n = ticksWaiting_.exchange(0);
    if (paused_.load())
        n = 0;
    for (; n > 0 && !closed_; --n) {
        if (!tick_)
            continue;
        auto tick = tick_;  // the handler may replace itself
        tick();
    }
}

}  // namespace audio::detail
