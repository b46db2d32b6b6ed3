#include "fake_wave_out.h"

namespace audio {

void FakeWaveOut::write(std::span<const std::int16_t> samples, std::uint64_t tag) {
    written_.push_back({std::vector<std::int16_t>(samples.begin(), samples.end()), tag});
    queue_.push_back({samples.size(), tag});
}

void FakeWaveOut::reset() {
    queue_.clear();
    playedOfFront_ = 0;
    ++resets_;
}

void FakeWaveOut::advance(std::uint64_t samples) {
    std::uint64_t left = samples;
    while (!queue_.empty()) {
        Pending& front = queue_.front();
        std::uint64_t remaining = front.length - playedOfFront_;
        if (remaining > left) {
            playedOfFront_ += left;
            now_ += left;
            return;
        }
        left -= remaining;
        now_ += remaining;
        std::uint64_t tag = front.tag;
        queue_.pop_front();
        playedOfFront_ = 0;
        if (handler_)
            handler_(tag);
    }
    now_ += left;
}

std::uint64_t FakeWaveOut::runUntilIdle(std::size_t maxBuffers) {
    std::uint64_t start = now_;
    for (std::size_t n = 0; n < maxBuffers && !queue_.empty(); ++n) {
        advance(queue_.front().length - playedOfFront_);
    }
    return now_ - start;
}

}  // namespace audio
