#include "key_state.h"

#include <QEvent>
#include <QKeyEvent>

namespace keytut::ui {

char KeyStateTracker::characterOf(int key) {
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return static_cast<char>(key);
    return 0;
}

std::uint16_t KeyStateTracker::asyncKeyState(int key) {
    const char c = characterOf(key);
    return c ? static_cast<std::uint16_t>(states_.query(c)) : 0;
}

bool KeyStateTracker::unread(int key) const {
    const char c = characterOf(key);
    return c && states_.unread(c);
}

void KeyStateTracker::clear() {
    states_.clear();
    downByScanCode_.fill(0);
}

void KeyStateTracker::observe(const QKeyEvent& event) {
    if (event.isAutoRepeat())
        return;
    const bool press = event.type() == QEvent::KeyPress;
    const quint32 scanCode = event.nativeScanCode();
    int key = event.key();
    // Digits of the numeric pad are other keys.
    if (event.modifiers() & Qt::KeypadModifier)
        key = 0;
    if (!press && scanCode > 0 && scanCode < downByScanCode_.size() &&
        downByScanCode_[scanCode] != 0) {
        key = downByScanCode_[scanCode];
    }
    const char c = characterOf(key);
    if (scanCode > 0 && scanCode < downByScanCode_.size()) {
        downByScanCode_[scanCode] = press && c ? key : 0;
    }
    if (!c)
        return;
    if (press) {
        states_.keyDown(c);
    } else {
        states_.keyUp(c);
    }
}

bool KeyStateTracker::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
            // A key event travels from the focused widget up to its window; each step passes
            // through here. Observing it again changes nothing.
            observe(static_cast<const QKeyEvent&>(*event));
            break;
        case QEvent::ApplicationDeactivate:
            clear();
            break;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace keytut::ui
