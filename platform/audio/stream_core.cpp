#include "stream_core.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

namespace audio::detail {

StreamCore::StreamCore(DoneTiming timing, Dispatcher dispatcher)
    : timing_(timing), dispatcher_(std::move(dispatcher)) {}

StreamCore::~StreamCore() {
    // By now no consumer or notifier runs any more.
    delete playing_;
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
    for (int i = 0; i < 20 && owesTail_.load(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

void StreamCore::reset() {
    generation_.fetch_add(1, std::memory_order_release);
    for (Entry* e : overflow_)
        delete e;
    overflow_.clear();
}

void StreamCore::finish(Entry* entry) {
    if (entry->noticed)
        owesTail_.store(false);
    // Cannot fail: at most kMaxInFlight entries exist between write and release.
    done_.push(entry);
    finishedAny_ = true;
}

void StreamCore::noticeEarly(Entry* entry) {
    // Cannot fail either: one notice per entry in flight.
    early_.push(Notice{entry->tag, entry->generation});
    entry->noticed = true;
    if (entry->position < entry->samples.size())
        owesTail_.store(true);
    finishedAny_ = true;
}

Rendered StreamCore::render(std::int16_t* out, std::size_t frames, double startTime) {
    const std::uint32_t generation = generation_.load(std::memory_order_acquire);
    Rendered rendered{frames, frames};
    bool any = false;
    std::size_t i = 0;
    finishedAny_ = false;
    if (playing_ && playing_->generation != generation) {
        playing_->dropped = true;
        finish(playing_);
        playing_ = nullptr;
    }
    for (;;) {
        if (!playing_) {
            Entry* next = nullptr;
            if (!pending_.pop(next))
                break;
            if (next->generation != generation) {
                next->dropped = true;
                finish(next);
                continue;
            }
            playing_ = next;
            if (!next->samples.empty()) {
                lastStart_.store(startTime + static_cast<double>(i) / kSampleRate);
                starts_.fetch_add(1);
            }
        }
        const std::size_t n = std::min(frames - i, playing_->samples.size() - playing_->position);
        if (n > 0) {
            std::memcpy(out + i, playing_->samples.data() + playing_->position,
                        n * sizeof(std::int16_t));
            if (!any)
                rendered.first = i;
            any = true;
            i += n;
            playing_->position += n;
            rendered.end = i;
        }
        if (timing_ == DoneTiming::WhenTaken && !playing_->noticed &&
            playing_->samples.size() - playing_->position <= kNoticeLead) {
            noticeEarly(playing_);
        }
        if (playing_->position == playing_->samples.size()) {
            playing_->due = startTime + static_cast<double>(i) / kSampleRate;
            finish(playing_);
            playing_ = nullptr;
            continue;
        }
        break;  // the block is full
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
