// The sound output used by the sender and by the key screens' side-tone.
//
// A WaveOut plays 16-bit mono buffers at 8000 samples per second, one after another in the
// order written. Every buffer, once finished, is reported back with the tag it was written with,
// on the program's UI thread (through the dispatcher the device was opened with). A buffer is
// copied when written, so the caller may reuse its memory at once.
//
// Several may be open at once: the sender has one, and the key screens open another for their
// side-tone. Each reports only its own buffers. The backends live in platform/audio.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

namespace audio {

constexpr int kSampleRate = 8000;

// Runs a callable later on the program's UI thread. Must be safe to call from any thread.
using Dispatcher = std::function<void(std::function<void()>)>;

// When a written buffer counts as finished.
enum class DoneTiming {
    // As soon as the device has taken the buffer: the sender writes its next character then,
    // which keeps the gap between characters as short as the device allows.
    WhenTaken,
    // When the buffer's last sample is due at the loudspeaker: a ring of small buffers then
    // gives an evenly spaced clock.
    AtPlayback,
};

class WaveOut {
  public:
    using DoneHandler = std::function<void(std::uint64_t tag)>;

    virtual ~WaveOut() = default;

    // The handler runs on the UI thread for each finished buffer, in the order written.
    virtual void setDoneHandler(DoneHandler handler) = 0;

    // Queues a copy of the samples behind what was written before. An empty buffer is
    // reported done like any other.
    virtual void write(std::span<const std::int16_t> samples, std::uint64_t tag) = 0;

    // Drops everything queued, the buffer that is playing included. Dropped buffers are not
    // reported done.
    virtual void reset() = 0;

    // True once the device has gone away (no further done notices will come).
    virtual bool lost() const { return false; }
};

}  // namespace audio
