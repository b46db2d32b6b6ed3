#include "stream_core.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

namespace audio::detail {

StreamCore::StreamCore(DoneTiming timing, Dispatcher dispatcher)
    : timing_(timing), dispatcher_(std::move(dispatcher)), ahead_(kMaxInFlight, nullptr) {}

StreamCore::~StreamCore() {
    // By now no consumer or notifier runs any more.
    for (std::size_t k = 0; k < aheadCount_; ++k)
        delete ahead_[(aheadFirst_ + k) % kMaxInFlight];
    Entry* entry = nullptr;
    while (pending_.pop(entry))
        delete entry;
    while (done_.pop(entry))
        delete entry;
    for (Entry* e : overflow_)
        delete e;
}

void StreamCore::write(std::span<const std::int16_t> samples, std::uint64_t tag) {
    auto* entry = new Entry;
    entry->samples.assign(samples.begin(), samples.end());
    entry->tag = tag;
    entry->generation = generation_.load(std::memory_order_relaxed);
    overflow_.push_back(entry);
    flushOverflow();
}

void StreamCore::flushOverflow() {
    if (overflow_.empty())
        return;
    // Announce the wait before looking at the count, so that a buffer freed in between is
    // certain to bring us back here.
    overflowWaiting_.store(true);
    bool pushed = false;
    while (!overflow_.empty() && inFlight_.load() < kMaxInFlight) {
        inFlight_.fetch_add(1);
        pending_.push(overflow_.front());
        overflow_.pop_front();
        pushed = true;
    }
    if (overflow_.empty())
        overflowWaiting_.store(false);
    if (pushed) {
        wake();
        if (writtenHook_)
            writtenHook_();
    }
}

void StreamCore::waitForTail() const {
    // At most kNoticeLead samples, if the consumer runs at all.
    for (int i = 0; i < 20 && owedTails_.load() > 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

void StreamCore::reset() {
    generation_.fetch_add(1, std::memory_order_release);
    for (Entry* e : overflow_)
        delete e;
    overflow_.clear();
}

void StreamCore::finish(Entry* entry) {
    if (entry->owed)
        owedTails_.fetch_sub(1);
    // Cannot fail: at most kMaxInFlight entries exist between write and release.
    done_.push(entry);
    finishedAny_ = true;
}

void StreamCore::noticeEarly(Entry* entry) {
    // Cannot fail either: one notice per entry in flight.
    early_.push(Notice{entry->tag, entry->generation});
    entry->noticed = true;
    if (entry->position < entry->samples.size()) {
        entry->owed = true;
        owedTails_.fetch_add(1);
    }
    finishedAny_ = true;
}

Rendered StreamCore::render(std::int16_t* out, std::size_t frames, double startTime) {
    const std::uint32_t generation = generation_.load(std::memory_order_acquire);
    auto at = [this](std::size_t k) -> Entry*& { return ahead_[(aheadFirst_ + k) % kMaxInFlight]; };
    auto popFront = [this] {
        aheadFirst_ = (aheadFirst_ + 1) % kMaxInFlight;
        --aheadCount_;
    };
    finishedAny_ = false;
    // A reset drops everything written before it, the buffer playing included.
    while (aheadCount_ > 0 && at(0)->generation != generation) {
        at(0)->dropped = true;
        finish(at(0));
        popFront();
    }
    // Take over everything written, so that notices can look ahead past the buffer playing.
    Entry* next = nullptr;
    while (aheadCount_ < kMaxInFlight && pending_.pop(next)) {
        if (next->generation != generation) {
            next->dropped = true;
            finish(next);
            continue;
        }
        at(aheadCount_++) = next;
    }

    Rendered rendered{frames, frames};
    bool any = false;
    std::size_t i = 0;
    while (aheadCount_ > 0) {
        Entry* playing = at(0);
        if (playing->position == 0 && !playing->samples.empty() && i < frames) {
            lastStart_.store(startTime + static_cast<double>(i) / kSampleRate);
            starts_.fetch_add(1);
        }
        const std::size_t n = std::min(frames - i, playing->samples.size() - playing->position);
        if (n > 0) {
            std::memcpy(out + i, playing->samples.data() + playing->position,
                        n * sizeof(std::int16_t));
            if (!any)
                rendered.first = i;
            any = true;
            i += n;
            playing->position += n;
            rendered.end = i;
        }
        if (playing->position < playing->samples.size())
            break;  // the block is full
        if (timing_ == DoneTiming::WhenTaken && !playing->noticed)
            noticeEarly(playing);
        playing->due = startTime + static_cast<double>(i) / kSampleRate;
        finish(playing);
        popFront();
    }
    if (timing_ == DoneTiming::WhenTaken) {
        // Notice every buffer whose end is now no more than kNoticeLead samples away.
        std::size_t untilEnd = 0;
        for (std::size_t k = 0; k < aheadCount_; ++k) {
            Entry* entry = at(k);
            untilEnd += entry->samples.size() - entry->position;
            if (untilEnd > kNoticeLead)
                break;
            if (!entry->noticed)
                noticeEarly(entry);
        }
    }
    if (i < frames)
        std::memset(out + i, 0, (frames - i) * sizeof(std::int16_t));
    if (!any)
        rendered = {frames, frames};
    if (finishedAny_)
        wake();
    return rendered;
}

double StreamCore::releaseDue(double now, bool ignoreDue) {
    const bool waitForDue = !ignoreDue && timing_ == DoneTiming::AtPlayback;
    bool freed = false;
    double untilNext = -1;
    // Early notices first: each one comes before its buffer is finished.
    Notice notice;
    while (early_.pop(notice))
        dispatch(notice.tag, notice.generation);
    while (Entry** front = done_.front()) {
        Entry* entry = *front;
        if (waitForDue && !entry->dropped && entry->due > now) {
            untilNext = entry->due - now;
            break;
        }
        done_.pop();
        if (!entry->dropped && !entry->noticed)
            dispatch(entry->tag, entry->generation);
        delete entry;
        inFlight_.fetch_sub(1);
        freed = true;
    }
    if (freed && overflowWaiting_.exchange(false) && dispatcher_) {
        dispatcher_([self = shared_from_this()] { self->flushOverflow(); });
    }
    return untilNext;
}

void StreamCore::dispatch(std::uint64_t tag, std::uint32_t generation) {
    if (!dispatcher_) {
        deliver(tag, generation);
        return;
    }
    dispatcher_([self = shared_from_this(), tag, generation] { self->deliver(tag, generation); });
}

void StreamCore::deliver(std::uint64_t tag, std::uint32_t generation) {
    if (closed_)
        return;
    if (generation == generation_.load(std::memory_order_relaxed) && handler_) {
        auto handler = handler_;  // the handler may replace itself
        handler(tag);
    }
    if (!closed_)
        flushOverflow();
}

}  // namespace audio::detail
