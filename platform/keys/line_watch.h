// Looks at a key's lines on a thread of its own while a decode screen rests, and tells the UI
// thread once they have changed.
//
// Looked at every 5 ms from the UI thread, each look woke the whole event loop (its poll of the
// display, the accessibility bus and the sound server's sockets) and cost the screen 0.8-1.1 % of
// a core at rest. Looked at every 5 ms from a thread of its own, the wakes alone still cost about
// 1 %. So a serial port is asked to wait for its lines to change (TIOCMIWAIT), and the thread
// sleeps in the kernel until they do; only a port whose driver refuses the wait is looked at every
// 5 ms.
//
// The wait has no timeout and no descriptor to poll, so two things end it besides a change:
// - stop() sends the thread a signal whose handler does nothing and does not restart the call;
// - a timer signals the thread every kLookEveryMs, so that a change that came between the last
//   look and the start of the wait (which the kernel does not count for it) is seen that late at
//   most. The readings hold the port's counts of line changes (TIOCGICOUNT) as well as the lines,
//   so a press and release that both fell in that gap are seen too.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

namespace keytut::keys {

class LineWatch {
  public:
    // Reads the lines on the watching thread; nothing when they cannot be read. Any difference from
    // the first reading is a change.
    using Read = std::function<std::optional<std::uint64_t>()>;
    // Blocks until the lines may have changed or a signal comes; false once the wait is refused,
    // and the watch looks every kEveryMs instead.
    using Wait = std::function<bool()>;
    struct Waiting {
        Read read;
        Wait wait;
    };
    static constexpr int kEveryMs = 5;
    static constexpr int kLookEveryMs = 100;

    LineWatch() = default;
    LineWatch(const LineWatch&) = delete;
    LineWatch& operator=(const LineWatch&) = delete;
    ~LineWatch() { stop(); }

    // Reads the lines now and then every kEveryMs; the first reading that differs from the first
    // one, or that fails, calls `changed` once on the watching thread, and the watch ends.
    void start(Read read, std::function<void()> changed);
    // The same, sleeping in `wait` between the readings while it serves.
    void start(Waiting waiting, std::function<void()> changed);
    // A serial port's lines and counts, waited for on the descriptor.
    void start(int descriptor, std::function<void()> changed);
    // Ends the watch and waits for its thread; `changed` is not called after this returns.
    void stop();
    bool watching() const { return thread_.joinable(); }

  private:
    void run(const Waiting& waiting, const std::function<void()>& changed);
    bool stopping();

    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    bool finished_ = false;
    std::thread thread_;
};

// The modem lines of a terminal's descriptor (TIOCM_CTS and TIOCM_DSR), read on any thread.
std::optional<std::uint32_t> readModemLines(int descriptor);

// Those lines, with the port's counts of their changes in the upper bits where it keeps them.
std::optional<std::uint64_t> readModemState(int descriptor);

// Waits until CTS or DSR changes (or a signal comes); false when the port refuses to wait.
bool waitForModemChange(int descriptor);

}  // namespace keytut::keys
