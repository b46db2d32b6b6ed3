// Looks at a key's lines on a thread of its own while a decode screen rests, and tells the UI
// thread once they have changed.
//
// A serial port cannot tell of its modem lines' changes; they have to be looked at. Looked at
// every 5 ms from the UI thread, each look woke the whole event loop (its poll of the display,
// the accessibility bus and the sound server's sockets) and cost the screen 0.8-1.1 % of a core
// at rest; the look itself, a TIOCMGET, costs a few microseconds. So the looking is done here,
// and the UI thread wakes only when there is something to do.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

namespace keytut::keys {

class LineWatch {
  public:
    // Reads the lines on the watching thread; nothing when they cannot be read.
    using Read = std::function<std::optional<std::uint32_t>()>;
    static constexpr int kEveryMs = 5;

    LineWatch() = default;
    LineWatch(const LineWatch&) = delete;
    LineWatch& operator=(const LineWatch&) = delete;
    ~LineWatch() { stop(); }

    // Reads the lines now and then every kEveryMs; the first reading that differs from the first
    // one, or that fails, calls `changed` once on the watching thread, and the watch ends.
    void start(Read read, std::function<void()> changed);
    // Ends the watch and waits for its thread; `changed` is not called after this returns.
    void stop();
    bool watching() const { return thread_.joinable(); }

  private:
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::thread thread_;
};

// The modem lines of a terminal's descriptor (TIOCM_CTS and TIOCM_DSR), read on any thread.
std::optional<std::uint32_t> readModemLines(int descriptor);

}  // namespace keytut::keys
