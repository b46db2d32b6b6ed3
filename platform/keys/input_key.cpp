#include "input_key.h"

#include <fcntl.h>
#include <libevdev/libevdev.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace keytut::keys {

KeyPortResult InputKey::open(const std::string& device, const std::string& portText,
                             InputKeys keys) {
    KeyPortError cantOpen{cantOpenPortMessage(portText)};
    struct stat info {};
    if (device.empty() || ::stat(device.c_str(), &info) != 0 || !S_ISCHR(info.st_mode))
        return cantOpen;
    const int fd = ::open(device.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return cantOpen;  // most often: not in the input group
    libevdev* dev = nullptr;
    if (libevdev_new_from_fd(fd, &dev) < 0) {
        ::close(fd);
        return cantOpen;  // not an input device
    }
    if (!libevdev_has_event_code(dev, EV_KEY, static_cast<unsigned>(keys.dot)) ||
        !libevdev_has_event_code(dev, EV_KEY, static_cast<unsigned>(keys.dash)) ||
        libevdev_grab(dev, LIBEVDEV_GRAB) < 0) {
        // A device without the learner's keys, or grabbed by another program.
        libevdev_free(dev);
        ::close(fd);
        return cantOpen;
    }
    return std::unique_ptr<KeySource>(new InputKey(fd, dev, keys));
}

InputKey::InputKey(int fd, libevdev* device, InputKeys keys)
    : fd_(fd), device_(device), lines_(keys) {
    resync();  // a key already held when the screen opens
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, this, [this] {
        if (drain() && changed_)
            changed_();
    });
}

InputKey::~InputKey() {
    notifier_.reset();
    libevdev_grab(device_, LIBEVDEV_UNGRAB);
    libevdev_free(device_);
    ::close(fd_);
}

bool InputKey::resync() {
    const auto down = [this](int code) {
        return libevdev_get_event_value(device_, EV_KEY, static_cast<unsigned>(code)) != 0;
    };
    return lines_.resync(down(lines_.keys().dot), down(lines_.keys().dash));
}

bool InputKey::drain() {
    bool changed = false;
    while (!failed_) {
        input_event ev{};
        int rc = libevdev_next_event(device_, LIBEVDEV_READ_FLAG_NORMAL, &ev);
        if (rc == LIBEVDEV_READ_STATUS_SUCCESS) {
            changed = lines_.event(ev.type, ev.code, ev.value) || changed;
        } else if (rc == LIBEVDEV_READ_STATUS_SYNC) {
            // Events were dropped: libevdev catches up with the device, then the keys are read.
            lines_.event(ev.type, ev.code, ev.value);
            do {
                rc = libevdev_next_event(device_, LIBEVDEV_READ_FLAG_SYNC, &ev);
            } while (rc == LIBEVDEV_READ_STATUS_SYNC);
            changed = resync() || changed;
        } else if (rc == -EAGAIN) {
            break;
        } else {
            // -ENODEV: unplugged.
            failed_ = true;
            notifier_->setEnabled(false);
        }
    }
    return changed;
}

std::uint32_t InputKey::readKeyLines() {
    drain();
    return lines_.lines();
}

}  // namespace keytut::keys
