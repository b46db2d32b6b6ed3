// Says a short text through the screen reader without moving the keyboard focus: for what a
// change did that the learner cannot see, while they stay on the control they changed.
//
// Orca 43 has no way to speak a text a Qt program hands it while the focus stays put: it reads a
// Qt combo box's value neither on Down nor from its name or description events (Qt 6.4 sends the
// description event without the text). It does speak an object with the notification role
// when that object is shown. The announcer is such an object: a one-pixel label that is shown
// for each text and hidden again at once.
#pragma once

#include <QLabel>

namespace keytut::ui {

class Announcer : public QLabel {
    Q_OBJECT
  public:
    Announcer();

    // Has the screen reader say `text` now.
    void announce(const QString& text);
};

}  // namespace keytut::ui
