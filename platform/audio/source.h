// What every backend's consumer plays from: a stream of written buffers (StreamCore) or the key
// screens' voice (SidetoneCore). A consumer (the PortAudio callback or the real-time pacer)
// renders blocks from it; a notifier thread of its own releases what has finished to the UI
// thread at the right time.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <semaphore>

namespace audio::detail {

// Where a render call put sound within its block.
struct Rendered {
    std::size_t first = 0;  // index of the first such sample
    std::size_t end = 0;    // one past the last; first == end when the block is all silence
};

class Source {
  public:
    virtual ~Source() = default;

    // Consumer thread. Fills `frames` samples of `out`; `startTime` is when out[0] plays, on the
    // clock the notifier waits on. Neither locks nor allocates.
    virtual Rendered render(std::int16_t* out, std::size_t frames, double startTime) = 0;

    // Notifier thread. Releases to the UI thread what is due by `now` (everything when
    // `ignoreDue`). Returns the seconds until the next release, or a negative value if none waits.
    virtual double releaseDue(double now, bool ignoreDue = false) = 0;

    // Any thread. True when nothing written waits to be played or reported, so that the device
    // may rest; a source that must keep playing (a clock) is never idle.
    virtual bool idle() const = 0;

    // Notifier thread: sleeps until the source has news or `seconds` pass.
    void waitForWork(double seconds) {
        if (seconds > 0 && signal_.try_acquire_for(std::chrono::duration<double>(seconds))) {
            while (signal_.try_acquire()) {
            }
        }
    }
    // Any thread: wakes the notifier.
    void wake() { signal_.release(); }

  private:
    std::counting_semaphore<> signal_{0};
};

}  // namespace audio::detail
