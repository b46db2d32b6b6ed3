// A box whose texts a screen reader speaks, for the keyboard-only screens of Earkey.
//
// To have a text spoken it is put into the box and the focus is moved onto the box with a Tab key
// event delivered to the focused control inside the program (never system-wide key injection);
// the screen reader then speaks the accessible name of the control that got the focus: the text.
//
// A screen reader speaks a focus change only when the focus arrives at an object other than the
// one it presented last: Orca 43 drops a focus event when a newer one of another object is
// already waiting, and says nothing when the focus comes back to the object it is on. Focusing
// the control before a box and tabbing back onto the same box therefore says nothing the second
// time.
//
// SpokenBox therefore holds two identical focusable labels at one place, of which one is shown.
// speak() puts the text into the hidden one, shows it and tabs onto it, then hides the other:
// the focus always lands on a new object, in a single focus change when the box already has the
// focus. Nothing waits and nothing is posted, so the learner's key presses are neither delayed
// nor reordered.
//
// Each label stands in a relation to the box, so that a screen reader does not also read it as
// loose text of the window when the window opens (see the constructor).
//
// Labels rather than read-only line edits: Orca 43 presents a line edit reached this way from its
// caret and selection events, not from the focus ("read only text." without the text).
#pragma once

#include <QLabel>
#include <QString>
#include <QWidget>
#include <array>
#include <functional>

namespace keytut::ui {

// One of a box's two labels; a class of its own so that the screen reader hears of it as the
// box's label (see spoken_box.cpp).
class SpokenLabel : public QLabel {
    Q_OBJECT
  public:
    using QLabel::QLabel;
};

class SpokenBox : public QWidget {
    Q_OBJECT
  public:
    explicit SpokenBox(QWidget* parent = nullptr);

    QString text() const;
    // Shows text without speaking it (for example to blank the box).
    void setText(const QString& text);

    // Puts text into the box and moves the focus onto it so that a screen reader speaks it.
    // When the box has the focus already, one Tab (or Shift+Tab) moves it to the box's other
    // label. Otherwise the focus goes to `before` and one Tab brings it onto the box: `before`
    // must be the control before the box in tab order (wrapping round at the end of the window,
    // as Tab does); the screen reader drops that passing focus and says nothing of `before`.
    // Without `before` the box is focused directly. Returns whether the focus is on the box
    // afterwards; it is not when the window is inactive or `before` does not lead to the box.
    bool speak(QWidget* before, const QString& text);

    // Moves the focus onto the box without a hop.
    void focusText(Qt::FocusReason reason = Qt::OtherFocusReason);

    // Whether the focus is on one of the box's labels.
    bool holdsFocus() const;

    // What the box is, for the screen reader: said before the text when the learner moves the
    // focus there (Tab, or the focus a screen gives it as it opens): "Word: HOUSE", or "Word"
    // alone while the box is empty. The texts speak() has spoken are said alone, so that each
    // new one is heard at once, until the focus leaves the box.
    void setSpokenName(const QString& name);
    // The accessible name of one of the box's labels now.
    QString accessibleNameOf(const QLabel* label) const;

    // The label shown now: it holds the text and, after speak(), the focus.
    QLabel* current() const { return labels_[shown_]; }
    // Both labels, in tab order, to style them alike (colours, frame, alignment).
    const std::array<QLabel*, 2>& labels() const { return labels_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void nameChanged(QLabel* label);

    std::array<QLabel*, 2> labels_{};
    int shown_ = 0;
    QString name_;
    // Set by speak(): until the focus leaves the box, each label's name is its text alone. Both
    // labels, not only the one the focus is on: a screen reader that lags behind asks for the
    // name of a label after the next speak() has moved on from it, and would hear the box's
    // name before a character ("Last character: R") in the middle of what is keyed.
    bool spoken_ = false;
};

// Runs `then` once `window` is the active window again, at once when it is already, and after
// `waitMs` at the latest. A box closed over a screen leaves no window active until the window
// system makes the screen active again, some milliseconds later; a text spoken in between is
// said over Orca's presentation of the reactivated screen, or not at all (Orca 43 drops the
// focus change of an inactive window, then announces the window and its focus afresh). The
// wait ends with the window: nothing runs for a window that has gone.
void whenActive(QWidget* window, std::function<void()> then, int waitMs = 1000);

// Gives a control the name a screen reader says for it: a SpokenBox's spoken name, any other
// control's accessible name.
void nameForScreenReader(QWidget* control, const QString& name);

}  // namespace keytut::ui
