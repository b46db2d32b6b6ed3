#include "line_watch.h"

#include <linux/serial.h>
#include <pthread.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

namespace keytut::keys {

namespace {

// Ends a wait in the kernel on the watching thread; it does nothing itself, and as it is set
// without SA_RESTART the interrupted call returns.
int wakeSignal() {
    return SIGRTMIN + 5;
}

void installWakeSignal() {
    static const bool installed = [] {
        struct sigaction action {};
        action.sa_handler = [](int) {};
        sigemptyset(&action.sa_mask);
        action.sa_flags = 0;
        return ::sigaction(wakeSignal(), &action, nullptr) == 0;
    }();
    (void)installed;
}

// Signals this thread every `ms`, so that its wait ends that often; nothing when it cannot.
class LookTimer {
  public:
    explicit LookTimer(int ms) {
        sigevent event{};
        event.sigev_notify = SIGEV_THREAD_ID;
        event.sigev_signo = wakeSignal();
        event._sigev_un._tid = ::gettid();
        if (::timer_create(CLOCK_MONOTONIC, &event, &timer_) != 0)
            return;
        itimerspec every{};
        every.it_interval.tv_sec = ms / 1000;
        every.it_interval.tv_nsec = (ms % 1000) * 1000000L;
        every.it_value = every.it_interval;
        if (::timer_settime(timer_, 0, &every, nullptr) != 0) {
            ::timer_delete(timer_);
            return;
        }
        running_ = true;
    }
    LookTimer(const LookTimer&) = delete;
    LookTimer& operator=(const LookTimer&) = delete;
    ~LookTimer() {
        if (running_)
            ::timer_delete(timer_);
    }
    bool running() const { return running_; }

  private:
    timer_t timer_{};
    bool running_ = false;
};

}  // namespace

void LineWatch::start(Read read, std::function<void()> changed) {
    start(Waiting{std::move(read), nullptr}, std::move(changed));
}

void LineWatch::start(int descriptor, std::function<void()> changed) {
    start(Waiting{[descriptor] { return readModemState(descriptor); },
                  [descriptor] { return waitForModemChange(descriptor); }},
          std::move(changed));
}

void LineWatch::start(Waiting waiting, std::function<void()> changed) {
    stop();
    installWakeSignal();
    stopping_ = false;
    finished_ = false;
    thread_ = std::thread([this, waiting = std::move(waiting), changed = std::move(changed)] {
        run(waiting, changed);
    });
}

bool LineWatch::stopping() {
    std::lock_guard lock(mutex_);
    return stopping_;
}

void LineWatch::run(const Waiting& waiting, const std::function<void()>& changed) {
    sigset_t wakes;
    sigemptyset(&wakes);
    sigaddset(&wakes, wakeSignal());
    ::pthread_sigmask(SIG_UNBLOCK, &wakes, nullptr);

    const auto first = waiting.read();
    bool tell = !first;
    std::optional<LookTimer> timer;
    if (first && waiting.wait) {
        timer.emplace(kLookEveryMs);
        if (!timer->running())
            timer.reset();  // a change missed by the wait would never be seen: look instead
    }
    // A driver whose wait returns at once with nothing changed would keep this thread busy: after
    // kQuickWakes such wakes in a row, the lines are looked at instead.
    constexpr int kQuickWakes = 20;
    int quickWakes = 0;
    while (first) {
        if (timer) {
            if (stopping())
                break;
            const auto began = std::chrono::steady_clock::now();
            const bool served = waiting.wait();
            const bool quick =
                std::chrono::steady_clock::now() - began < std::chrono::milliseconds(1);
            quickWakes = quick ? quickWakes + 1 : 0;
            if (!served || quickWakes >= kQuickWakes)
                timer.reset();
        } else {
            std::unique_lock lock(mutex_);
            if (wake_.wait_for(lock, std::chrono::milliseconds(kEveryMs),
                               [this] { return stopping_; }))
                break;
        }
        const auto now = waiting.read();
        if (!now || *now != *first) {
            tell = true;
            break;
        }
    }
    timer.reset();
    std::lock_guard lock(mutex_);
    // Told under the lock: stop() cannot return between the look and the call.
    if (tell && !stopping_)
        changed();
    finished_ = true;
    wake_.notify_all();
}

void LineWatch::stop() {
    if (!thread_.joinable())
        return;
    {
        std::unique_lock lock(mutex_);
        stopping_ = true;
        wake_.notify_all();
        // The signal may come just before the thread enters its wait: it is sent again until the
        // thread is seen to have finished.
        while (!finished_) {
            ::pthread_kill(thread_.native_handle(), wakeSignal());
            wake_.wait_for(lock, std::chrono::milliseconds(1), [this] { return finished_; });
        }
    }
    thread_.join();
}

std::optional<std::uint32_t> readModemLines(int descriptor) {
    int lines = 0;
    if (descriptor < 0 || ::ioctl(descriptor, TIOCMGET, &lines) != 0)
        return std::nullopt;
    return static_cast<std::uint32_t>(lines) & (TIOCM_CTS | TIOCM_DSR);
}

std::optional<std::uint64_t> readModemState(int descriptor) {
    const auto lines = readModemLines(descriptor);
    if (!lines)
        return std::nullopt;
    serial_icounter_struct counts{};
    if (::ioctl(descriptor, TIOCGICOUNT, &counts) != 0)
        return *lines;
    const auto changes =
        static_cast<std::uint32_t>(counts.cts) + static_cast<std::uint32_t>(counts.dsr);
    return *lines | (static_cast<std::uint64_t>(changes) << 32);
}

bool waitForModemChange(int descriptor) {
    return ::ioctl(descriptor, TIOCMIWAIT, TIOCM_CTS | TIOCM_DSR) == 0 || errno == EINTR;
}

}  // namespace keytut::keys
