#include "spoken_box.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>

namespace keytut::ui {

SpokenBox::SpokenBox(QWidget* parent) : QWidget(parent) {
    // Created in this order, the two labels follow each other in tab order; the hidden one is
    // skipped by Tab. The box itself takes no focus and has no focus proxy: with a proxy, Qt 6.4
    // tabs into the hidden label.
    for (QLabel*& label : labels_) {
        label = new QLabel(this);
        label->setTextFormat(Qt::PlainText);
        label->setFocusPolicy(Qt::TabFocus);
    }
    labels_[1]->hide();
    setFocusPolicy(Qt::NoFocus);
}

void SpokenBox::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    for (QLabel* label : labels_)
        label->setGeometry(rect());
}

QString SpokenBox::text() const {
    return current()->text();
}

void SpokenBox::setText(const QString& text) {
    current()->setText(text);
}

void SpokenBox::focusText(Qt::FocusReason reason) {
    current()->setFocus(reason);
}

bool SpokenBox::holdsFocus() const {
    QWidget* focused = QApplication::focusWidget();
    return focused == labels_[0] || focused == labels_[1];
}

bool SpokenBox::speak(QWidget* before, const QString& text) {
    QLabel* const old = current();
    const int nextIndex = 1 - shown_;
    QLabel* const next = labels_[nextIndex];
    // The text is in place before the focus moves, so it is what the focus change announces.
    next->setText(text);
    next->show();

    bool forward = true;
    if (QApplication::focusWidget() == old) {
        forward = nextIndex == 1;  // the other label follows or precedes this one
    } else {
        old->hide();  // it has no focus, so hiding it moves none
        if (before && before != old && before->isVisible()) {
            before->setFocus(Qt::OtherFocusReason);
        } else {
            next->setFocus(Qt::TabFocusReason);
        }
    }
    QWidget* const from = QApplication::focusWidget();
    if (from && from != next && from->window() == window()) {
        // Sent, not posted: nothing can come between the two focus changes, and no key press of
        // the learner waits behind it.
        QKeyEvent tab(QEvent::KeyPress, forward ? Qt::Key_Tab : Qt::Key_Backtab,
                      forward ? Qt::NoModifier : Qt::ShiftModifier);
        QCoreApplication::sendEvent(from, &tab);
    }
    old->hide();  // after the focus has left it
    shown_ = nextIndex;
    return QApplication::focusWidget() == next;
}

}  // namespace keytut::ui
