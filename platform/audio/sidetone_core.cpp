#include "sidetone_core.h"

#include <cmath>
#include <numbers>

namespace audio::detail {

double steadySeconds();

SidetoneCore::SidetoneCore(Dispatcher dispatcher, int amplitude)
    : dispatcher_(std::move(dispatcher)) {
    // 800 Hz at 8000 samples per second: ten samples a cycle, four cycles a block, so every
    // toned block starts and ends on a zero crossing and the tone switches without a click.
    for (std::size_t i = 0; i < sine_.size(); ++i) {
        sine_[i] = static_cast<std::int16_t>(
            std::lround(std::sin(2 * std::numbers::pi * static_cast<double>(i) / 10) * amplitude));
    }
}

void SidetoneCore::setTone(bool on) {
    if (on && !tone_.load(std::memory_order_relaxed))
        toneRequested_.store(steadySeconds());
    tone_.store(on, std::memory_order_release);
}

Rendered SidetoneCore::render(std::int16_t* out, std::size_t frames, double startTime) {
    Rendered rendered{frames, frames};
    for (std::size_t i = 0; i < frames; ++i) {
        if (blockPosition_ == 0) {
            blockTone_ = tone_.load(std::memory_order_acquire);
            if (blockTone_ && !previousTone_) {
                double heard = startTime + static_cast<double>(i) / kSampleRate;
                lastKeyToTone_.store(heard - toneRequested_.load());
                onsets_.fetch_add(1);
            }
            previousTone_ = blockTone_;
        }
        if (blockTone_) {
            out[i] = sine_[blockPosition_ % sine_.size()];
            if (rendered.first == rendered.end)
                rendered.first = i;
            rendered.end = i + 1;
        } else {
            out[i] = 0;
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
        if (!ignoreDue && *due > now) {
            untilNext = *due - now;
            break;
        }
        dues_.pop();
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
    for (; n > 0 && !closed_; --n) {
        if (!tick_)
            continue;
        auto tick = tick_;  // the handler may replace itself
        tick();
    }
}

}  // namespace audio::detail
