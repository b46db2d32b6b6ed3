#include "key_state.h"

#include <QEvent>
#include <QKeyEvent>

namespace keytut::ui {

int KeyStateTracker::slotOf(int key) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return key - Qt::Key_A;
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return 26 + key - Qt::Key_0;
    return -1;
}

std::uint16_t KeyStateTracker::asyncKeyState(int key) {
    const int slot = slotOf(key);
    if (slot < 0)
        return 0;
    State& state = states_[static_cast<std::size_t>(slot)];
    std::uint16_t result = (state.down ? kDownNow : 0) | (state.pressed ? kPressedSinceQuery : 0);
    state.pressed = false;
    return result;
}

void KeyStateTracker::clear() {
    states_.fill({});
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
    const int slot = slotOf(key);
    if (scanCode > 0 && scanCode < downByScanCode_.size()) {
        downByScanCode_[scanCode] = press && slot >= 0 ? key : 0;
    }
    if (slot < 0)
        return;
    State& state = states_[static_cast<std::size_t>(slot)];
    if (press) {
        state.pressed = state.pressed || !state.down;
        state.down = true;
    } else {
        state.down = false;
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
