#include "keyboard_key.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

namespace keytut::keys {

namespace {

// X11 key symbols of the two Ctrl keys; Qt reports both as Qt::Key_Control.
constexpr quint32 kLeftControlSym = 0xffe3;
constexpr quint32 kRightControlSym = 0xffe4;
// Windows virtual keys, for the same build there.
constexpr quint32 kLeftControlVk = 0xA2;
constexpr quint32 kRightControlVk = 0xA3;

// The line a Ctrl key stands for, 0 for any other key.
std::uint32_t lineOfKey(const QKeyEvent* key) {
    if (key->key() != Qt::Key_Control)
        return 0;
    const quint32 v = key->nativeVirtualKey();
    if (v == kRightControlSym || v == kRightControlVk)
        return MS_DSR_ON;
    if (v == kLeftControlSym || v == kLeftControlVk)
        return MS_CTS_ON;
    // No native key (offscreen, tests): the scan code tells right (105 on X11) from left.
    return key->nativeScanCode() == 105 ? MS_DSR_ON : MS_CTS_ON;
}

std::uint32_t lineOfButton(Qt::MouseButton button) {
    if (button == Qt::LeftButton)
        return MS_CTS_ON;
    if (button == Qt::RightButton)
        return MS_DSR_ON;
    return 0;
}

}  // namespace

KeyboardKey::KeyboardKey(QWidget* screen) : screen_(screen) {
    qApp->installEventFilter(this);
}

KeyboardKey::~KeyboardKey() {
    qApp->removeEventFilter(this);
}

bool KeyboardKey::onScreen(QObject* watched) const {
    auto* widget = qobject_cast<QWidget*>(watched);
    return screen_ && widget && (widget == screen_ || screen_->isAncestorOf(widget));
}

void KeyboardKey::set(std::uint32_t& lines, std::uint32_t bit, bool down) {
    const std::uint32_t before = keys_ | buttons_;
    lines = down ? (lines | bit) : (lines & ~bit);
    if ((keys_ | buttons_) != before && changed_)
        changed_();
}

bool KeyboardKey::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease: {
            auto* key = static_cast<QKeyEvent*>(event);
            const std::uint32_t line = lineOfKey(key);
            if (line == 0 || !onScreen(watched))
                break;
            if (!key->isAutoRepeat())
                set(keys_, line, event->type() == QEvent::KeyPress);
            return true;  // the key is the Morse key here, nothing else
        }
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseButtonRelease: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            const std::uint32_t line = lineOfButton(mouse->button());
            // A click on a button (Timings) is that button's, not a mark.
            if (line == 0 || !onScreen(watched) || qobject_cast<QAbstractButton*>(watched))
                break;
            set(buttons_, line, event->type() != QEvent::MouseButtonRelease);
            // The Close box and the Timings button stay usable with the mouse.
            return qobject_cast<QWidget*>(watched) == screen_.data();
        }
        case QEvent::WindowDeactivate:
            if (watched == screen_.data()) {
                // A key or button let go elsewhere would leave the line closed for good.
                set(keys_, keys_, false);
                set(buttons_, buttons_, false);
            }
            break;
        default:
            break;
    }
    return false;
}

}  // namespace keytut::keys
