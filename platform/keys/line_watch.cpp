#include "line_watch.h"

#include <sys/ioctl.h>

#include <chrono>

namespace keytut::keys {

void LineWatch::start(Read read, std::function<void()> changed) {
    stop();
    stopping_ = false;
    thread_ = std::thread([this, read = std::move(read), changed = std::move(changed)] {
        const auto first = read();
        std::unique_lock lock(mutex_);
        while (first) {
            if (wake_.wait_for(lock, std::chrono::milliseconds(kEveryMs),
                               [this] { return stopping_; }))
                return;
            const auto now = read();
            if (!now || *now != *first)
                break;
        }
        // Told under the lock: stop() cannot return between the look and the call.
        changed();
    });
}

void LineWatch::stop() {
    if (!thread_.joinable())
        return;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

std::optional<std::uint32_t> readModemLines(int descriptor) {
    int lines = 0;
    if (descriptor < 0 || ::ioctl(descriptor, TIOCMGET, &lines) != 0)
        return std::nullopt;
    return static_cast<std::uint32_t>(lines) & (TIOCM_CTS | TIOCM_DSR);
}

}  // namespace keytut::keys
