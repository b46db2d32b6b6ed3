#include "midi_key.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QKeyEvent>
#include <cerrno>

namespace keytut::keys {

KeyPortResult MidiKey::open(const std::string& device, const std::string& portText,
                            QWidget* screen) {
    KeyPortError cantOpen{cantOpenPortMessage(portText)};
    struct stat info {};
    if (device.empty() || ::stat(device.c_str(), &info) != 0 || !S_ISCHR(info.st_mode))
        return cantOpen;
    // Non-blocking: a device another program holds is refused at once, not waited for.
    const int fd = ::open(device.c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return cantOpen;
    std::unique_ptr<MidiKey> key(new MidiKey(fd, screen));
    if (!key->send(key->adapter_.opening()))
        return cantOpen;
    return std::unique_ptr<KeySource>(std::move(key));
}

MidiKey::MidiKey(int fd, QWidget* screen) : fd_(fd), screen_(screen) {
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, this, [this] {
        if (drain() && changed_)
            changed_();
    });
    qApp->installEventFilter(this);
}

MidiKey::~MidiKey() {
    qApp->removeEventFilter(this);
    notifier_.reset();
    // Back into keyboard mode, however the screen ended; closing the node lets the bytes go out.
    if (!failed_)
        send(adapter_.closing());
    ::close(fd_);
}

bool MidiKey::send(const std::vector<std::uint8_t>& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            return false;  // gone, or a device that takes nothing
        }
    }
    return true;
}

bool MidiKey::drain() {
    bool changed = false;
    std::uint8_t buffer[256];
    while (!failed_) {
        const ssize_t n = ::read(fd_, buffer, sizeof buffer);
        if (n > 0) {
            changed = adapter_.received(buffer, static_cast<std::size_t>(n)) || changed;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        // The end of the stream or an error: the adapter has been unplugged.
        failed_ = true;
        notifier_->setEnabled(false);
    }
    return changed;
}

std::uint32_t MidiKey::readKeyLines() {
    drain();
    return adapter_.lines();
}

bool MidiKey::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && screen_) {
        auto* key = static_cast<QKeyEvent*>(event);
        auto* widget = qobject_cast<QWidget*>(watched);
        if (key->key() == Qt::Key_Control && !key->isAutoRepeat() && widget &&
            (widget == screen_ || screen_->isAncestorOf(widget))) {
            // Ctrl keys where notes were awaited: the adapter may have taken the mode value the
            // other way round.
            const auto ask = adapter_.keyboardKeysSeen();
            if (!ask.empty())
                send(ask);
        }
    }
    return false;
}

}  // namespace keytut::keys
