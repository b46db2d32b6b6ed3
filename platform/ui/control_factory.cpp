// Building the controls of a screen from their table rows: each kind as the widget that looks and
// reads as the described control, placed in dialog units, in tab order, with label mnemonics
// pointing at the control that follows them.
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <utility>

#include "accessible_widgets.h"
#include "screen.h"
#include "spoken_box.h"
#include "text.h"

namespace keytut::ui {

namespace {

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

}  // namespace

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
            // What it does is bound by the screen: onPressed().
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
            connect(list, &QComboBox::activated, this, [this, list](int index) {
                valueNote_.clear();
                if (list->chosen)
                    list->chosen(index);
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
            // A list placed past the bottom of its window (the file screen's, 240 units high at
            // y 25 in a window 260 high) ends at the window's edge, so that its lower border and
            // the scroll bar's down arrow show. A Windows list box shortens itself to whole lines,
            // which brings such a list inside; Qt's would be cut off.
            if (place.bottom() >= height())
                place.setBottom(height() - 1);
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
    // The control may be the sender of the press being handled: it goes once that returns.
    widget->deleteLater();
}

}  // namespace keytut::ui
