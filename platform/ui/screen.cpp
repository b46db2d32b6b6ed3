#include "screen.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <utility>

#include "announcer.h"
#include "blocking_wait.h"
#include "spoken_box.h"

namespace keytut::ui {

QString qText(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string stdText(const QString& text) {
    const QByteArray bytes = text.toLatin1();
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

namespace {

const QEvent::Type kCallEvent = static_cast<QEvent::Type>(QEvent::registerEventType());
const QEvent::Type kTabEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

// A call queued for a screen (Screen::queued()).
class CallEvent : public QEvent {
  public:
    explicit CallEvent(std::function<void()> action)
        : QEvent(kCallEvent), action(std::move(action)) {}
    std::function<void()> action;
};

// Windows ends lines with CR LF; the widgets want LF alone.
QString displayText(const std::string& text) {
    QString result = qText(text);
    result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return result;
}

bool hasMnemonic(const std::string& caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&')
            continue;
        if (caption[i + 1] != '&')
            return true;
        ++i;
    }
    return false;
}

int normalisedKey(int key) {
    return key == Qt::Key_Enter ? Qt::Key_Return : key;
}

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
void describeValue(QWidget* widget, const QString& value) {
    if (widget->accessibleDescription() != value)
        widget->setAccessibleDescription(value);
}

// A drop-down list that knows whether the choice being reported comes from its opened list.
class DropDownList : public QComboBox {
  public:
    using QComboBox::QComboBox;

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

constexpr Qt::KeyboardModifiers kTableModifiers =
    Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;

}  // namespace

Screen::Screen(const ScreenSpec& spec) : QDialog(spec.owner) {
    Qt::WindowFlags flags;
    if (spec.frame == FrameKind::MainWindow) {
        flags = Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint;
    } else if (spec.frame == FrameKind::Closable) {
        flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    } else {
        flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    }
    setWindowFlags(flags);
    setWindowTitle(qText(spec.title));
    setFont(dialogFont(spec.font));
    base_ = ui::baseUnits(font());
    resizeClient(spec.width, spec.height);
}

void Screen::resizeClient(int width, int height) {
    const QRect client = toPixels(0, 0, width, height);
    resize(client.size());
    QWidget* owner = parentWidget();
    QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        QRect area = screen->availableGeometry();
        move(area.center() - QPoint(client.width() / 2, client.height() / 2));
    }
}

Screen::~Screen() = default;

int Screen::run() {
    const int result = exec();
    // The window below becomes the active one again. A window manager usually sees to it; without
    // one (or with one that leaves it), no window is active and the screen reader says nothing
    // of the keys that follow.
    if (QWidget* owner = parentWidget(); owner && owner->isVisible())
        owner->activateWindow();
    return result;
}

void Screen::endScreen(int result) {
    ended_ = true;
    stopPoller();
    done(result);
}

QRect Screen::toPixels(int x, int y, int width, int height) const {
    return dialogToPixels(QRect(x, y, width, height), base_);
}

QWidget* Screen::createControl(const ControlSpec& spec) {
    QWidget* widget = nullptr;
    bool tabStop = !(spec.style & style::NoTabStop);
    QRect place = toPixels(spec.x, spec.y, spec.width, spec.height);
    switch (spec.kind) {
        case ControlKind::PushButton: {
            auto* button = new QPushButton(qText(spec.caption), this);
            // Return is handled by the screen, as Windows dialogs do; Qt must not pick a default
            // button of its own.
            button->setAutoDefault(false);
            button->setDefault(spec.style & style::DefaultButton);
            const int id = spec.id;
            connect(button, &QPushButton::clicked, this, [this, id] { command(id, BN_CLICKED); });
            widget = button;
            break;
        }
        case ControlKind::Label: {
            auto* label = new QLabel(this);
            label->setTextFormat(Qt::PlainText);
            label->setText(displayText(spec.caption));
            Qt::Alignment align = Qt::AlignTop;
            if (spec.style & style::AlignRight) {
                align |= Qt::AlignRight;
            } else if (spec.style & style::AlignCentre) {
                align |= Qt::AlignHCenter;
            } else {
                align |= Qt::AlignLeft;
            }
            label->setAlignment(align);
            // Windows wraps static text at word ends; one-line labels stay on their line.
            label->setWordWrap(spec.height >= 16);
            if (spec.style & style::Border) {
                label->setFrameShape(QFrame::Box);
                label->setFrameShadow(QFrame::Plain);
                label->setLineWidth(1);
                // The text starts right inside the border, as in a framed static control: Qt
                // would indent it by half a character, which clips a box sized for its text.
                label->setIndent(0);
            }
            tabStop = spec.style & style::TabStop;
            if (hasMnemonic(spec.caption))
                pendingMnemonics_.emplace_back(label);
            widget = label;
            break;
        }
        case ControlKind::GroupBox: {
            auto* box = new QGroupBox(qText(spec.caption), this);
            // A frame drawn behind the controls it surrounds, which stay clickable.
            box->setAttribute(Qt::WA_TransparentForMouseEvents);
            box->setFocusPolicy(Qt::NoFocus);
            tabStop = false;
            widget = box;
            break;
        }
        case ControlKind::ReadOnlyEdit:
        case ControlKind::Edit: {
            auto* edit = new QuietLineEdit(qText(spec.caption), this);
            describeValue(edit, edit->text());
            connect(edit, &QLineEdit::textChanged, this,
                    [edit](const QString& text) { describeValue(edit, text); });
            edit->setReadOnly(spec.kind == ControlKind::ReadOnlyEdit);
            edit->setFrame(!(spec.style & style::NoBorder));
            edit->setTextMargins(0, 0, 0, 0);
            if (spec.style & style::DigitsOnly) {
                edit->setValidator(
                    new QRegularExpressionValidator(QRegularExpression("[0-9]*"), edit));
            }
            widget = edit;
            break;
        }
        case ControlKind::DropDownList: {
            auto* list = new DropDownList(this);
            list->setEditable(false);
            const int id = spec.id;
            connect(list, &QComboBox::activated, this, [this, id, list](int) {
                valueNote_.clear();
                command(id, CBN_SELENDOK);
                // The learner's own change: the new value, and what followed from it, said once.
                // A choice from the opened list brings the focus back to the list, which the
                // screen reader reads with its value: then only the note is left to say.
                std::string said =
                    list->choosingFromPopup() ? std::string() : stdText(list->currentText());
                if (!valueNote_.empty())
                    said += (said.empty() ? "" : ", ") + std::exchange(valueNote_, {});
                if (!said.empty())
                    announce(said);
            });
            connect(list, &QComboBox::currentIndexChanged, this,
                    [list] { describeValue(list, list->currentText()); });
            connect(list, &QComboBox::highlighted, this,
                    [this, id](int) { command(id, CBN_SELCHANGE); });
            // The height given is that of the open list; the closed box is one line high.
            place.setHeight(list->sizeHint().height());
            widget = list;
            break;
        }
        case ControlKind::SpokenText: {
            auto* box = new SpokenBox(this);
            for (QLabel* label : box->labels()) {
                label->setText(displayText(spec.caption));
                label->setAlignment(Qt::AlignTop | Qt::AlignLeft);
                label->setWordWrap(spec.height >= 16);
                if (spec.style & style::Border) {
                    label->setFrameShape(QFrame::Box);
                    label->setFrameShadow(QFrame::Plain);
                    label->setLineWidth(1);
                }
                label->setFocusPolicy(spec.style & style::TabStop ? Qt::TabFocus : Qt::NoFocus);
                label->setProperty("controlId", spec.id);
                label->installEventFilter(this);
            }
            tabStop = spec.style & style::TabStop;
            widget = box;
            break;
        }
        case ControlKind::ListBox: {
            auto* list = new QListWidget(this);
            list->setSelectionMode(spec.style & style::Selectable
                                       ? QAbstractItemView::SingleSelection
                                       : QAbstractItemView::NoSelection);
            const int id = spec.id;
            connect(list, &QListWidget::currentRowChanged, this, [this, id](int row) {
                if (row >= 0)
                    command(id, LBN_SELCHANGE);
            });
            list->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
            list->setVerticalScrollBarPolicy(spec.style & style::ScrollBarAlways
                                                 ? Qt::ScrollBarAlwaysOn
                                                 : Qt::ScrollBarAsNeeded);
            list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            list->setFrameShape(QFrame::Box);
            list->setFrameShadow(QFrame::Plain);
            list->setLineWidth(1);
            // One line of the font a row, as a list box of this size shows; every row alike, so
            // that a list of thousands of lines (or a line of a megabyte) is laid out at once.
            list->setUniformItemSizes(true);
            list->setTextElideMode(Qt::ElideNone);
            widget = list;
            break;
        }
        case ControlKind::TextBox: {
            auto* box = new QPlainTextEdit(this);
            box->setPlainText(displayText(spec.caption));
            box->setReadOnly(spec.style & style::ReadOnly);
            box->setTabChangesFocus(true);
            if (spec.style & style::NoBorder)
                box->setFrameShape(QFrame::NoFrame);
            widget = box;
            break;
        }
    }
    widget->setObjectName(QStringLiteral("control%1").arg(spec.id));
    widget->setProperty("controlId", spec.id);
    if (spec.kind != ControlKind::GroupBox && spec.kind != ControlKind::SpokenText) {
        widget->setFocusPolicy(
            tabStop ? (spec.kind == ControlKind::Label ? Qt::TabFocus : Qt::StrongFocus)
                    : (spec.kind == ControlKind::Label ? Qt::NoFocus : Qt::ClickFocus));
    }
    widget->setGeometry(place);
    widget->installEventFilter(this);
    controls_.push_back({spec, widget});
    if (spec.kind == ControlKind::GroupBox)
        widget->lower();
    if (tabStop && spec.kind != ControlKind::Label) {
        // A label's mnemonic moves the focus to the control that follows it.
        for (auto& label : pendingMnemonics_) {
            if (auto* l = qobject_cast<QLabel*>(label.data()))
                l->setBuddy(widget);
        }
        pendingMnemonics_.clear();
    }
    restoreTabOrder();
    if (isVisible())
        widget->show();
    return widget;
}

void Screen::restoreTabOrder() {
    QWidget* previous = nullptr;
    auto chain = [&previous](QWidget* widget) {
        if (previous)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    };
    for (const Control& c : controls_) {
        if (!c.widget)
            continue;
        if (auto* box = qobject_cast<SpokenBox*>(c.widget.data())) {
            // Its two labels stay next to each other.
            if (box->current()->focusPolicy() & Qt::TabFocus) {
                for (QLabel* label : box->labels())
                    chain(label);
            }
            continue;
        }
        if (c.widget->focusPolicy() & Qt::TabFocus)
            chain(c.widget);
    }
}

void Screen::destroyControl(int id) {
    auto it = std::find_if(controls_.begin(), controls_.end(),
                           [id](const Control& c) { return c.spec.id == id; });
    if (it == controls_.end())
        return;
    QPointer<QWidget> widget = it->widget;
    controls_.erase(it);
    if (!widget)
        return;
    std::erase_if(pendingMnemonics_, [&](const QPointer<QWidget>& p) { return p == widget; });
    widget->removeEventFilter(this);
    widget->hide();
    // The control may be the sender of the command being handled: it goes once that returns.
    widget->deleteLater();
}

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

std::string Screen::text(int id) const {
    QWidget* w = control(id);
    if (auto* s = qobject_cast<SpokenBox*>(w))
        return stdText(s->text());
    if (auto* b = qobject_cast<QPushButton*>(w))
        return stdText(b->text());
    if (auto* l = qobject_cast<QLabel*>(w))
        return stdText(l->text());
    if (auto* g = qobject_cast<QGroupBox*>(w))
        return stdText(g->title());
    if (auto* e = qobject_cast<QLineEdit*>(w))
        return stdText(e->text());
    if (auto* c = qobject_cast<QComboBox*>(w))
        return stdText(c->currentText());
    if (auto* list = qobject_cast<QListWidget*>(w))
        return list->currentItem() ? stdText(list->currentItem()->text()) : std::string();
    if (auto* t = qobject_cast<QPlainTextEdit*>(w))
        return stdText(t->toPlainText());
    return {};
}

void Screen::setText(int id, const std::string& text) {
    QWidget* w = control(id);
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
    if (controlAs<QListWidget>(id)) {
        for (const std::string& item : items)
            addItem(id, item);
        return;
    }
    auto* list = controlAs<QComboBox>(id);
    if (!list)
        return;
    list->clear();
    for (const std::string& item : items)
        list->addItem(qText(item));
}

void Screen::addItem(int id, const std::string& text) {
    auto* list = controlAs<QListWidget>(id);
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
    auto* list = controlAs<QListWidget>(id);
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
    if (auto* list = controlAs<QListWidget>(id))
        list->setCurrentRow(index, QItemSelectionModel::NoUpdate);
}

int Screen::selection(int id) const {
    if (auto* lines = controlAs<QListWidget>(id))
        return lines->currentRow();
    auto* list = controlAs<QComboBox>(id);
    return list ? list->currentIndex() : -1;
}

void Screen::setSelection(int id, int index) {
    if (auto* lines = controlAs<QListWidget>(id)) {
        const QSignalBlocker quiet(lines);
        lines->setCurrentRow(index);
        return;
    }
    if (auto* list = controlAs<QComboBox>(id))
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
    QWidget* w = control(id);
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

bool Screen::speak(int id, const std::string& text) {
    auto* box = controlAs<SpokenBox>(id);
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
    QWidget* w = control(id);
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

void Screen::pressTab() {
    QCoreApplication::postEvent(this, new QEvent(kTabEvent));
}

void Screen::startPoller(int intervalMs, std::function<void()> tick) {
    stopPoller();
    pollerTick_ = std::move(tick);
    poller_ = new QTimer(this);
    connect(poller_, &QTimer::timeout, this, [this] {
        if (ended_ || blockingWaitActive() || !pollerTick_)
            return;
        pollerTick_();
    });
    poller_->start(intervalMs);
}

void Screen::stopPoller() {
    if (poller_) {
        poller_->stop();
        poller_->deleteLater();
        poller_ = nullptr;
    }
}

std::function<void()> Screen::queued(std::function<void()> action) {
    return [self = QPointer<Screen>(this), action = std::move(action)] {
        if (self && !self->ended_)
            QCoreApplication::postEvent(self, new CallEvent(action));
    };
}

void Screen::command(int id, int notification) {
    (void)notification;
    if (id == kCancelCommand)
        endScreen();
}

bool Screen::event(QEvent* event) {
    if (event->type() == kCallEvent || event->type() == kTabEvent) {
        if (ended_)
            return true;
        if (blockingWaitActive()) {
            // Handled once the wait is over, behind what is queued by then.
            QPointer<Screen> self(this);
            if (event->type() == kCallEvent) {
                afterBlockingWait([self, action = static_cast<CallEvent&>(*event).action] {
                    if (self)
                        QCoreApplication::postEvent(self, new CallEvent(action));
                });
            } else {
                afterBlockingWait([self] {
                    if (self)
                        QCoreApplication::postEvent(self, new QEvent(kTabEvent));
                });
            }
            return true;
        }
        if (event->type() == kCallEvent) {
            auto action = std::move(static_cast<CallEvent&>(*event).action);
            action();
        } else {
            QWidget* target = focusWidget() ? focusWidget() : this;
            QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
            QCoreApplication::sendEvent(target, &tab);
        }
        return true;
    }
    return QDialog::event(event);
}

bool Screen::handleKey(QKeyEvent* event) {
    const int key = normalisedKey(event->key());
    const Qt::KeyboardModifiers modifiers = event->modifiers() & kTableModifiers;
    for (const KeyBinding& binding : keyTable_) {
        if (normalisedKey(binding.key) == key && binding.modifiers == modifiers) {
            command(binding.command, BN_CLICKED);
            return true;
        }
    }
    if (modifiers != Qt::NoModifier)
        return false;
    if (key == Qt::Key_Escape) {
        command(kCancelCommand, BN_CLICKED);
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
    command(kOkCommand, BN_CLICKED);
    return true;
}

bool Screen::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        if (handleKey(static_cast<QKeyEvent*>(event)))
            return true;
    }
    if (event->type() == QEvent::FocusIn) {
        if (auto* list = qobject_cast<QListWidget*>(watched))
            announceCurrentLine(list);
    }
    return QDialog::eventFilter(watched, event);
}

void Screen::announceCurrentLine(QListWidget* list) {
    // Qt reports a list's current line to the screen reader only when the line changes while the
    // list has the focus; a list reached with Tab, or focused as its window opens, would be read
    // as "list with n items" without the line the cursor keys go on from. The report follows the
    // list's own focus report, so that the screen reader presents the line.
    QPointer<QListWidget> target(list);
    QMetaObject::invokeMethod(
        list,
        [target] {
            if (!target || !target->hasFocus() || target->currentRow() < 0 ||
                !QAccessible::isActive())
                return;
            QAccessibleEvent focus(target.data(), QAccessible::Focus);
            focus.setChild(target->currentRow());
            QAccessible::updateAccessibility(&focus);
        },
        Qt::QueuedConnection);
}

void Screen::keyPressEvent(QKeyEvent* event) {
    if (!handleKey(event))
        QDialog::keyPressEvent(event);
}

void Screen::showEvent(QShowEvent* event) {
    if (!initialised_) {
        initialised_ = true;
        initialise();
    }
    QDialog::showEvent(event);
}

void Screen::closeEvent(QCloseEvent* event) {
    if (ended_) {
        event->accept();
        return;
    }
    // The close box is the cancel command; the handler decides whether the screen closes.
    event->ignore();
    command(kCancelCommand, BN_CLICKED);
}

void Screen::reject() {
    if (ended_) {
        QDialog::reject();
        return;
    }
    command(kCancelCommand, BN_CLICKED);
}

}  // namespace keytut::ui
