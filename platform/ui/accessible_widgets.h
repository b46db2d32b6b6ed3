// Widgets that tell the screen reader what Qt alone leaves unsaid. Each one carries the reason it
// exists: what Orca 43 said, or did not say, with the plain Qt widget.
#pragma once

#include <QComboBox>
#include <QElapsedTimer>
#include <QFocusEvent>
#include <QLineEdit>
#include <functional>

class QListWidget;

namespace keytut::ui {

// A line edit that keeps its text unselected when Tab or a mnemonic brings the focus: QLineEdit
// selects everything then, and Orca 43 reads that as four utterances ("1", "selected",
// "Comm Port: text.", "selected.") and "Text unselected." on leaving. Without the selection it
// says the label and the text. The caret goes to the end, after what is there.
class QuietLineEdit : public QLineEdit {
  public:
    using QLineEdit::QLineEdit;

  protected:
    void focusInEvent(QFocusEvent* event) override {
        const Qt::FocusReason reason = event->reason();
        if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
            reason == Qt::ShortcutFocusReason) {
            QFocusEvent plain(QEvent::FocusIn, Qt::OtherFocusReason);
            QLineEdit::focusInEvent(&plain);
            if (!hasSelectedText())
                end(false);
            return;
        }
        QLineEdit::focusInEvent(event);
    }
};

// Orca 43 reads neither a Qt combo box's value (it finds no text or selection interface on it)
// nor the text of a Qt line edit (Qt reports its text attributes as an empty run, and Orca then
// drops the line) when the focus arrives. It does read an object's description then: lists and
// edit boxes carry their value in it.
void describeValue(QWidget* widget, const QString& value);

// A drop-down list that knows whether the choice being reported comes from its opened list.
class DropDownList : public QComboBox {
  public:
    using QComboBox::QComboBox;

    // What the screen does with the learner's choice (Screen::onChosen()).
    std::function<void(int)> chosen;

    // Asked once per reported choice.
    bool choosingFromPopup() {
        // The choice is reported after the list has closed, later still when the style flashes
        // the chosen item.
        const bool fromPopup = popupOpen_ || (closed_.isValid() && closed_.elapsed() < 1000);
        closed_.invalidate();
        return fromPopup;
    }

    void showPopup() override {
        popupOpen_ = true;
        QComboBox::showPopup();
    }
    void hidePopup() override {
        QComboBox::hidePopup();
        popupOpen_ = false;
        closed_.start();
    }

  private:
    bool popupOpen_ = false;
    QElapsedTimer closed_;
};

// Qt reports a list's current line to the screen reader only when the line changes while the
// list has the focus; a list reached with Tab, or focused as its window opens, would be read as
// "list with n items" without the line the cursor keys go on from. Called when the list gets the
// focus, this reports the line after the list's own focus report, so that the screen reader
// presents it.
void reportCurrentLine(QListWidget* list);

}  // namespace keytut::ui
