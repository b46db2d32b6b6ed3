#include "spoken_box.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>
#include <algorithm>

namespace keytut::ui {

namespace {

// What a screen reader is told of a box's label: its text as its name, as for any label, and
// that it is the label of its box. Orca reads the labels of a window that stand in no relation
// as the window's loose text when the window opens; without the relation, a box that has the
// focus as the window opens would be read twice, as loose text and then as the focused label.
class SpokenLabelAccessible : public QAccessibleWidget {
  public:
    explicit SpokenLabelAccessible(QWidget* label)
        : QAccessibleWidget(label, QAccessible::StaticText) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) {
            const QString name = widget()->accessibleName();
            if (!name.isEmpty())
                return name;
            auto* label = static_cast<QLabel*>(widget());
            if (auto* box = qobject_cast<SpokenBox*>(label->parentWidget()))
                return box->accessibleNameOf(label);
            return label->text();
        }
        return QAccessibleWidget::text(t);
    }

    QList<QPair<QAccessibleInterface*, QAccessible::Relation>> relations(
        QAccessible::Relation match) const override {
        auto result = QAccessibleWidget::relations(match);
        if (match & QAccessible::Labelled) {
            if (QAccessibleInterface* box =
                    QAccessible::queryAccessibleInterface(widget()->parentWidget()))
                result.append({box, QAccessible::Labelled});
        }
        return result;
    }
};

QAccessibleInterface* spokenLabelFactory(const QString& key, QObject* object) {
    if (key == QLatin1String(SpokenLabel::staticMetaObject.className()) && object->isWidgetType())
        return new SpokenLabelAccessible(static_cast<QWidget*>(object));
    return nullptr;
}

void installSpokenLabelAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(spokenLabelFactory);
        return true;
    }();
    (void)installed;
}

}  // namespace

SpokenBox::SpokenBox(QWidget* parent) : QWidget(parent) {
    // Created in this order, the two labels follow each other in tab order; the hidden one is
    // skipped by Tab. The box itself takes no focus and has no focus proxy: with a proxy, Qt 6.4
    // tabs into the hidden label.
    installSpokenLabelAccessibility();
    for (QLabel*& label : labels_) {
        label = new SpokenLabel(this);
        label->setTextFormat(Qt::PlainText);
        label->setFocusPolicy(Qt::TabFocus);
    }
    labels_[1]->hide();
    for (QLabel* label : labels_)
        label->installEventFilter(this);
    setFocusPolicy(Qt::NoFocus);
}

void SpokenBox::setSpokenName(const QString& name) {
    name_ = name;
    for (QLabel* label : labels_)
        nameChanged(label);
}

QString SpokenBox::accessibleNameOf(const QLabel* label) const {
    const QString value = label->text();
    if (name_.isEmpty() || spoken_)
        return value;
    return value.isEmpty() ? name_ : name_ + ": " + value;
}

bool SpokenBox::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && spoken_ &&
        std::find(labels_.begin(), labels_.end(), watched) != labels_.end()) {
        // The focus is already where it goes. Left for another control: when the focus next
        // arrives, the box is named again.
        QWidget* to = QApplication::focusWidget();
        if (std::find(labels_.begin(), labels_.end(), to) == labels_.end()) {
            spoken_ = false;
            for (QLabel* label : labels_)
                nameChanged(label);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void SpokenBox::nameChanged(QLabel* label) {
    if (name_.isEmpty() || !QAccessible::isActive())
        return;
    QAccessibleEvent event(label, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

namespace {

// Lives as a child of the window it waits for, so that it goes with it.
class ActivationWait : public QObject {
  public:
    ActivationWait(QWidget* window, std::function<void()> then, int waitMs)
        : QObject(window), then_(std::move(then)) {
        window->installEventFilter(this);
        QTimer::singleShot(waitMs, this, [this] { finish(); });
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::WindowActivate && watched == parent())
            // After the screen reader has heard of the activation and of the focus it brings.
            QTimer::singleShot(0, this, [this] { finish(); });
        return QObject::eventFilter(watched, event);
    }

  private:
    void finish() {
        if (!then_)
            return;
        auto then = std::move(then_);
        then_ = nullptr;
        deleteLater();
        then();
    }

    std::function<void()> then_;
};

}  // namespace

void whenActive(QWidget* window, std::function<void()> then, int waitMs) {
    if (!window || !then)
        return;
    if (window->isActiveWindow()) {
        then();
        return;
    }
    new ActivationWait(window, std::move(then), waitMs);
    window->activateWindow();
}

void nameForScreenReader(QWidget* control, const QString& name) {
    if (auto* box = qobject_cast<SpokenBox*>(control))
        box->setSpokenName(name);
    else if (control)
        control->setAccessibleName(name);
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
    // What the program has spoken is said alone: the box's name is for a learner who moves there.
    spoken_ = true;
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
