// The state of the letter and digit keys as a poller sees it.
//
// Fed by an application-wide event filter. For each key it keeps whether it is down now and
// whether it was pressed since the last query, and answers as GetAsyncKeyState does: 0x8000 for
// "down now", 0x0001 for "pressed since the last query". A key held down reads 0x8001 once and
// then 0x8000; auto-repeat does not count as a new press.
#pragma once

#include <QObject>
#include <array>
#include <cstdint>

#include "core/key_states.h"

class QKeyEvent;

namespace keytut::ui {

class KeyStateTracker : public QObject {
    Q_OBJECT
  public:
    // `key`: Qt::Key_A to Qt::Key_Z (whatever the Shift state) or Qt::Key_0 to Qt::Key_9 of the
    // main keyboard row; these codes equal the characters' codes. Other keys read 0. Clears the
    // "pressed since" bit.
    std::uint16_t asyncKeyState(int key);
    // True while a press of the key has not been asked for yet; asks nothing.
    bool unread(int key) const;

    // Forgets every key (the window lost the keyboard, so releases would not be seen).
    void clear();

    // Feeds one key event; the event filter calls this.
    void observe(const QKeyEvent& event);

    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // The character a tracked key stands for (its code equals the Qt key), or 0.
    static char characterOf(int key);

    AsyncKeyStates states_;
    // Which key each hardware key (scan code) went down as, so that its release is found even if
    // the Shift state changed in between.
    std::array<int, 256> downByScanCode_{};
};

}  // namespace keytut::ui
