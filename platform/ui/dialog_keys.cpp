// The dialog keyboard rules: a screen's key table first; then Escape, and the Close box, cancel
// the screen; Return goes to a text box that takes line ends, else the focused button, else the
// default button, else the screen's returnPressed().
#include <QCloseEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

#include "accessible_widgets.h"
#include "screen.h"

namespace keytut::ui {

namespace {

int normalisedKey(int key) {
    return key == Qt::Key_Enter ? Qt::Key_Return : key;
}

constexpr Qt::KeyboardModifiers kTableModifiers =
    Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;

}  // namespace

bool Screen::handleKey(QKeyEvent* event) {
    const int key = normalisedKey(event->key());
    const Qt::KeyboardModifiers modifiers = event->modifiers() & kTableModifiers;
    for (const KeyBinding& binding : keyTable_) {
        if (normalisedKey(binding.key) == key && binding.modifiers == modifiers) {
            if (binding.action) {
                // A copy: the action may set another key table.
                auto action = binding.action;
                action();
            }
            return true;
        }
    }
    if (modifiers != Qt::NoModifier)
        return false;
    if (key == Qt::Key_Escape) {
        cancelled();
        return true;
    }
    if (key != Qt::Key_Return)
        return false;
    QWidget* focused = focusWidget();
    const int focusedControl = idOf(focused);
    if (const ControlSpec* spec = specOf(focusedControl);
        spec && spec->kind == ControlKind::TextBox && (spec->style & style::WantReturn)) {
        return false;
    }
    // A focused push button takes Return; otherwise the default button; otherwise OK.
    if (auto* button = qobject_cast<QPushButton*>(focused); button && focusedControl != 0) {
        button->click();
        return true;
    }
    for (const Control& c : controls_) {
        auto* button = qobject_cast<QPushButton*>(c.widget.data());
        if (button && button->isDefault() && button->isEnabled() && !button->isHidden()) {
            button->click();
            return true;
        }
    }
    returnPressed();
    return true;
}

bool Screen::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        if (handleKey(static_cast<QKeyEvent*>(event)))
            return true;
    }
    if (event->type() == QEvent::FocusIn) {
        if (auto* list = qobject_cast<QListWidget*>(watched))
            reportCurrentLine(list);
    }
    return QDialog::eventFilter(watched, event);
}

void Screen::keyPressEvent(QKeyEvent* event) {
    if (!handleKey(event))
        QDialog::keyPressEvent(event);
}

void Screen::closeEvent(QCloseEvent* event) {
    if (ended_) {
        event->accept();
        return;
    }
    // The close box cancels the screen, which decides whether it closes.
    event->ignore();
    cancelled();
}

void Screen::reject() {
    if (ended_) {
        QDialog::reject();
        return;
    }
    cancelled();
}

}  // namespace keytut::ui
