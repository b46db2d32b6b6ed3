// A deterministic WaveOut on a virtual clock, for tests: nothing plays until the test advances
// time, and done notices are delivered synchronously from advance().
#pragma once

#include <cstdint>
#include <deque>
#include <vector>

#include "wave_out.h"

namespace audio {

class FakeWaveOut : public WaveOut {
  public:
    struct Written {
        std::vector<std::int16_t> samples;
        std::uint64_t tag = 0;
    };

    void setDoneHandler(DoneHandler handler) override { handler_ = std::move(handler); }
    void write(std::span<const std::int16_t> samples, std::uint64_t tag) override;
    void reset() override;

    // Moves the virtual clock on by the given number of samples, finishing every buffer whose
    // end falls within that time (an empty buffer finishes as soon as it is reached). Buffers
    // written by a done handler start playing where the previous one ended.
    void advance(std::uint64_t samples);
    // Plays until nothing is queued any more; returns the samples that passed. Stops after
    // maxBuffers notices so that a handler that keeps writing cannot loop forever.
    std::uint64_t runUntilIdle(std::size_t maxBuffers = 1'000'000);

    // Every buffer written, in order (dropped ones included).
    const std::vector<Written>& written() const { return written_; }
    std::size_t queued() const { return queue_.size(); }
    std::uint64_t now() const { return now_; }
    int resets() const { return resets_; }

  private:
    struct Pending {
        std::size_t length;
        std::uint64_t tag;
    };
    DoneHandler handler_;
    std::vector<Written> written_;
    std::deque<Pending> queue_;
    std::uint64_t now_ = 0;
    std::uint64_t playedOfFront_ = 0;  // samples of the front buffer already played
    int resets_ = 0;
};

}  // namespace audio
