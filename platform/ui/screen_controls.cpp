// A screen's controls by id: their texts, list lines, selection, focus, speaking and colours.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

#include "accessible_widgets.h"
#include "announcer.h"
#include "screen.h"
#include "spoken_box.h"
#include "text.h"

namespace keytut::ui {

QWidget* Screen::control(int id) const {
    for (const Control& c : controls_) {
        if (c.spec.id == id)
            return c.widget;
    }
    return nullptr;
}

int Screen::idOf(const QWidget* widget) const {
    for (const Control& c : controls_) {
        if (c.widget == widget)
            return c.spec.id;
    }
    return 0;
}

std::vector<int> Screen::controlIds() const {
    std::vector<int> ids;
    for (const Control& c : controls_)
        ids.push_back(c.spec.id);
    return ids;
}

const ControlSpec* Screen::specOf(int id) const {
    for (const Control& c : controls_) {
        if (c.spec.id == id)
            return &c.spec;
    }
    return nullptr;
}

void Screen::onPressed(QWidget* button, std::function<void()> action) {
    auto* pushButton = qobject_cast<QPushButton*>(button);
    if (!pushButton)
        return;
    // One action a button: a later binding replaces the earlier one.
    disconnect(pushButton, &QPushButton::clicked, this, nullptr);
    connect(pushButton, &QPushButton::clicked, this, std::move(action));
}

void Screen::onChosen(QWidget* list, std::function<void(int)> action) {
    if (auto* dropDown = dynamic_cast<DropDownList*>(list))
        dropDown->chosen = std::move(action);
}

void Screen::onHighlighted(QWidget* list, std::function<void(int)> action) {
    if (auto* dropDown = qobject_cast<QComboBox*>(list))
        connect(dropDown, &QComboBox::highlighted, this, std::move(action));
}

void Screen::onMoved(QWidget* list, std::function<void(int)> action) {
    auto* listBox = qobject_cast<QListWidget*>(list);
    if (!listBox)
        return;
    connect(listBox, &QListWidget::currentRowChanged, this, [action = std::move(action)](int row) {
        // -1: the list was emptied.
        if (row >= 0)
            action(row);
    });
}

std::string Screen::text(int id) const {
    return text(control(id));
}

std::string Screen::text(const QWidget* w) const {
    if (auto* s = qobject_cast<const SpokenBox*>(w))
        return stdText(s->text());
    if (auto* b = qobject_cast<const QPushButton*>(w))
        return stdText(b->text());
    if (auto* l = qobject_cast<const QLabel*>(w))
        return stdText(l->text());
    if (auto* g = qobject_cast<const QGroupBox*>(w))
        return stdText(g->title());
    if (auto* e = qobject_cast<const QLineEdit*>(w))
        return stdText(e->text());
    if (auto* c = qobject_cast<const QComboBox*>(w))
        return stdText(c->currentText());
    if (auto* list = qobject_cast<const QListWidget*>(w))
        return list->currentItem() ? stdText(list->currentItem()->text()) : std::string();
    if (auto* t = qobject_cast<const QPlainTextEdit*>(w))
        return stdText(t->toPlainText());
    return {};
}

void Screen::setText(int id, const std::string& text) {
    setText(control(id), text);
}

void Screen::setText(QWidget* w, const std::string& text) {
    if (auto* s = qobject_cast<SpokenBox*>(w)) {
        s->setText(displayText(text));
    } else if (auto* b = qobject_cast<QPushButton*>(w)) {
        b->setText(qText(text));
    } else if (auto* l = qobject_cast<QLabel*>(w)) {
        l->setText(displayText(text));
    } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
        g->setTitle(qText(text));
    } else if (auto* e = qobject_cast<QLineEdit*>(w)) {
        e->setText(qText(text));
    } else if (auto* c = qobject_cast<QComboBox*>(w)) {
        c->setCurrentIndex(c->findText(qText(text)));
    } else if (auto* t = qobject_cast<QPlainTextEdit*>(w)) {
        t->setPlainText(displayText(text));
    }
}

void Screen::setItems(int id, const std::vector<std::string>& items) {
    setItems(control(id), items);
}

void Screen::setItems(QWidget* control, const std::vector<std::string>& items) {
    if (auto* lines = qobject_cast<QListWidget*>(control)) {
        for (const std::string& item : items)
            addItem(lines, item);
        return;
    }
    auto* list = qobject_cast<QComboBox*>(control);
    if (!list)
        return;
    list->clear();
    for (const std::string& item : items)
        list->addItem(qText(item));
}

void Screen::addItem(int id, const std::string& text) {
    addItem(controlAs<QListWidget>(id), text);
}

void Screen::addItem(QListWidget* list, const std::string& text) {
    if (!list)
        return;
    // A row shows a line's first thousand characters: a line of a megabyte would hold the
    // window up for seconds while it is laid out, and no row is that wide.
    constexpr std::size_t kMaxShown = 1000;
    auto* item = new QListWidgetItem(qText(text.substr(0, kMaxShown)));
    item->setSizeHint(QSize(1, list->fontMetrics().height()));
    list->addItem(item);
}

std::vector<std::string> Screen::items(int id) const {
    std::vector<std::string> lines;
    if (auto* list = controlAs<QListWidget>(id)) {
        for (int i = 0; i < list->count(); ++i)
            lines.push_back(stdText(list->item(i)->text()));
    }
    return lines;
}

int Screen::itemCount(int id) const {
    auto* list = controlAs<QListWidget>(id);
    return list ? list->count() : 0;
}

void Screen::setTopIndex(int id, int index) {
    setTopIndex(controlAs<QListWidget>(id), index);
}

void Screen::setTopIndex(QListWidget* list, int index) {
    if (!list || index < 0 || index >= list->count())
        return;
    list->scrollToItem(list->item(index), QAbstractItemView::PositionAtTop);
    list->scrollToItem(list->item(list->count() - 1), QAbstractItemView::EnsureVisible);
}

int Screen::topIndex(int id) const {
    auto* list = controlAs<QListWidget>(id);
    return list ? list->verticalScrollBar()->value() : -1;
}

void Screen::setCurrentItem(int id, int index) {
    setCurrentItem(controlAs<QListWidget>(id), index);
}

void Screen::setCurrentItem(QListWidget* list, int index) {
    if (list)
        list->setCurrentRow(index, QItemSelectionModel::NoUpdate);
}

int Screen::selection(int id) const {
    if (auto* lines = controlAs<QListWidget>(id))
        return lines->currentRow();
    auto* list = controlAs<QComboBox>(id);
    return list ? list->currentIndex() : -1;
}

void Screen::setSelection(int id, int index) {
    setSelection(control(id), index);
}

void Screen::setSelection(QWidget* control, int index) {
    if (auto* lines = qobject_cast<QListWidget*>(control)) {
        const QSignalBlocker quiet(lines);
        lines->setCurrentRow(index);
        return;
    }
    if (auto* list = qobject_cast<QComboBox*>(control))
        list->setCurrentIndex(index);
}

void Screen::noteChange(const std::string& note) {
    if (!note.empty())
        valueNote_ = valueNote_.empty() ? note : valueNote_ + ", " + note;
}

void Screen::announce(const std::string& text) {
    if (!announcer_)
        announcer_ = std::make_unique<Announcer>();
    announcer_->announce(qText(text));
}

void Screen::focus(int id) {
    focus(control(id));
}

void Screen::focus(QWidget* w) {
    if (auto* box = qobject_cast<SpokenBox*>(w))
        box->focusText();
    else if (w)
        w->setFocus(Qt::OtherFocusReason);
}

int Screen::focusedId() const {
    // The focus may rest on a part of a control (a SpokenBox's label).
    for (QWidget* w = focusWidget(); w && w != this; w = w->parentWidget()) {
        if (const int id = idOf(w))
            return id;
    }
    return 0;
}

bool Screen::focusIsOn(const QWidget* control) const {
    return control && focusedId() != 0 && this->control(focusedId()) == control;
}

bool Screen::speak(int id, const std::string& text) {
    return speak(controlAs<SpokenBox>(id), text);
}

bool Screen::speak(SpokenBox* box, const std::string& text) {
    if (!box)
        return false;
    // The control before the box in tab order, wrapping round as Tab does.
    std::vector<QWidget*> stops;
    int at = -1;
    for (const Control& c : controls_) {
        if (!c.widget)
            continue;
        QWidget* stop = c.widget;
        if (auto* other = qobject_cast<SpokenBox*>(c.widget.data()))
            stop = other->current();
        if (c.widget == box) {
            at = static_cast<int>(stops.size());
        } else if (!(stop->focusPolicy() & Qt::TabFocus) || !stop->isEnabled() ||
                   c.widget->isHidden()) {
            continue;
        }
        stops.push_back(stop);
    }
    QWidget* before = nullptr;
    if (at >= 0 && stops.size() > 1)
        before = stops[at > 0 ? static_cast<std::size_t>(at - 1) : stops.size() - 1];
    return box->speak(before, displayText(text));
}

void Screen::labelControl(int labelId, int controlId) {
    auto* label = controlAs<QLabel>(labelId);
    QWidget* target = control(controlId);
    if (label && target)
        label->setBuddy(target);
}

void Screen::setWindowColours(QColor text, QColor background) {
    QPalette p = palette();
    p.setColor(QPalette::Window, background);
    p.setColor(QPalette::WindowText, text);
    setPalette(p);
    setAutoFillBackground(true);
}

void Screen::setColours(int id, QColor text, QColor background) {
    setColours(control(id), text, background);
}

void Screen::setColours(QWidget* w, QColor text, QColor background) {
    if (!w)
        return;
    if (auto* box = qobject_cast<SpokenBox*>(w)) {
        for (QLabel* label : box->labels()) {
            QPalette p = label->palette();
            p.setColor(QPalette::WindowText, text);
            p.setColor(QPalette::Window, background);
            label->setPalette(p);
            label->setAutoFillBackground(true);
        }
        return;
    }
    QPalette p = w->palette();
    if (qobject_cast<QLineEdit*>(w) || qobject_cast<QPlainTextEdit*>(w)) {
        p.setColor(QPalette::Text, text);
        p.setColor(QPalette::Base, background);
    } else if (qobject_cast<QPushButton*>(w)) {
        p.setColor(QPalette::ButtonText, text);
        p.setColor(QPalette::Button, background);
    } else {
        p.setColor(QPalette::WindowText, text);
        p.setColor(QPalette::Window, background);
        // A group box only colours its caption; what it surrounds shows through. A label on
        // the window's own colour lets it show through too (a group box may tint it).
        w->setAutoFillBackground(!qobject_cast<QGroupBox*>(w) &&
                                 background != palette().color(QPalette::Window));
    }
    w->setPalette(p);
}

}  // namespace keytut::ui
