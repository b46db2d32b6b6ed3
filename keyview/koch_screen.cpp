#include "koch_screen.h"

#include <QApplication>
#include <QPainter>
#include <QStyledItemDelegate>

#include "platform/ui/learner_progress.h"
#include "platform/ui/text.h"

namespace keyview {

using namespace keytut;
using namespace keytut::ui;
using namespace keyview::koch;

namespace {

const QColor kWrongColour{200, 0, 0};

// Draws a row as the group sent, its wrong characters red and underlined, then what was typed.
class GroupRowDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem plain = option;
        initStyleOption(&plain, index);
        plain.text.clear();
        QStyle* style = plain.widget ? plain.widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &plain, painter, plain.widget);

        const QString sent = index.data(kSentRole).toString();
        const QString typed = index.data(kTypedRole).toString();
        const QString wrong = index.data(kWrongRole).toString();
        painter->save();
        QFont font = option.font;
        const QFontMetrics metrics(font);
        const int cell = metrics.horizontalAdvance(QLatin1Char('W')) * 3 / 2;
        QRect box = option.rect.adjusted(4, 0, 0, 0);
        for (int i = 0; i < sent.size(); ++i) {
            const bool bad = i < wrong.size() && wrong[i] == QLatin1Char('1');
            QFont f = font;
            f.setBold(bad);
            f.setUnderline(bad);
            painter->setFont(f);
            painter->setPen(bad ? kWrongColour : option.palette.color(QPalette::Text));
            painter->drawText(QRect(box.left() + i * cell, box.top(), cell, box.height()),
                              Qt::AlignCenter, QString(sent[i]));
        }
        painter->setFont(font);
        painter->setPen(option.palette.color(QPalette::Text));
        const int typedLeft = box.left() + 7 * cell;
        for (int i = 0; i < typed.size(); ++i) {
            painter->drawText(QRect(typedLeft + i * cell, box.top(), cell, box.height()),
                              Qt::AlignCenter, QString(typed[i]));
        }
        painter->restore();
    }
};

}  // namespace

KochScreen::KochScreen(App& app)
    : ExerciseScreen(app, {kKochTrainerTitle, kWidth, kHeight, DialogFont::SansSerif8,
                           FrameKind::Closable, nullptr}),
      trainer_(kochTrainer(app, kochCourse(app))) {
    instructions_ = qobject_cast<QLabel*>(
        createControl({kInstructions, ControlKind::Label, trainer_->openingText(), 5, 5, 290, 20}));
    createControl({kCopyLabel, ControlKind::Label, "&Copy:", 5, 32, 30, 10, style::AlignRight});
    copyBox_ = qobject_cast<QLineEdit*>(
        createControl({kCopyBox, ControlKind::Edit, "", 40, 30, 120, 12, style::Border}));
    labelControl(kCopyLabel, kCopyBox);
    start_ = qobject_cast<QPushButton*>(
        createControl({kStart, ControlKind::PushButton, "&Start", 170, 29, 50, 14}));
    onPressed(createControl({kExit, ControlKind::PushButton, "Exit", 245, 29, 50, 14}),
              [this] { cancelled(); });
    groups_ = qobject_cast<QListWidget*>(
        createControl({kGroups, ControlKind::ListBox, "", 5, 50, 290, 130, style::NoTabStop}));
    groups_->setItemDelegate(new GroupRowDelegate(groups_));
    groups_->setAccessibleName(QStringLiteral("Groups"));
    createControl(
        {kCourseLabel, ControlKind::Label, "Co&urse:", 5, 188, 30, 10, style::AlignRight});
    course_ = qobject_cast<QComboBox*>(
        createControl({kCourse, ControlKind::DropDownList, "", 40, 186, 70, 60}));
    labelControl(kCourseLabel, kCourse);
    createControl(
        {kOwnOrderLabel, ControlKind::Label, "&Own order:", 115, 188, 45, 10, style::AlignRight});
    ownOrder_ = qobject_cast<QLineEdit*>(
        createControl({kOwnOrder, ControlKind::Edit, "", 165, 186, 130, 12, style::Border}));
    labelControl(kOwnOrderLabel, kOwnOrder);
    setItems(kCourse, courseChoices());
    // The box shows the order in use, for the learner to change.
    setSelection(kCourse, courseChoiceOf(app, trainer_->course()));
    ownOrder_->setText(qText(trainer_->course()));
    status_ =
        qobject_cast<QLabel*>(createControl({kStatus, ControlKind::Label, "", 5, 206, 290, 20}));

    connect(copyBox_, &QLineEdit::textChanged, this,
            [this](const QString& text) { trainer_->typedChanged(stdText(text)); });
    connect(course_, &QComboBox::activated, this, &KochScreen::applyCourse);
    connect(start_, &QPushButton::clicked, this, &KochScreen::returnPressed);
    connect(this, &QDialog::finished, this, &KochScreen::closed);
    // Return sends and judges wherever the focus is, as Start does.
    setKeyTable({{Qt::Key_Return, Qt::NoModifier, [this] { returnPressed(); }}});
    setOpeningFocus(kCopyBox);
}

void KochScreen::applyCourse() {
    const std::string before = trainer_->course();
    if (auto error =
            useCourse(app(), trainer_, course_->currentIndex(), stdText(ownOrder_->text()))) {
        status_->setText(qText(*error));
        return;
    }
    if (trainer_->course() != before)
        instructions_->setText(qText(trainer_->openingText()));
    ownOrder_->setText(qText(trainer_->course()));
    status_->clear();
}

void KochScreen::returnPressed() {
    if (ownOrder_->hasFocus()) {
        // The order typed, chosen in the list with it (LCWO's or the lessons' when it is one of
        // them).
        const TypedCourseOrder typed =
            parseCourseOrder(stdText(ownOrder_->text()), app().tutor.codes);
        if (!typed.error.empty()) {
            status_->setText(qText(typed.error));
            return;
        }
        setSelection(kCourse, courseChoiceOf(app(), typed.characters));
        applyCourse();
        return;
    }
    const KochUpdate update = trainer_->returnKey(stdText(copyBox_->text()));
    if (!update.acted)
        return;
    if (update.groupStarted)
        copyBox_->clear();
    if (update.row && update.result)
        addRow(*update.row, *update.result);
    std::string shown;
    for (const auto& part : {update.result, update.sessionResult}) {
        if (part)
            shown += (shown.empty() ? "" : ". ") + *part;
    }
    if (!shown.empty() || update.groupStarted)
        status_->setText(qText(shown));
    copyBox_->setFocus(Qt::OtherFocusReason);
    if (update.notice)
        tell(*update.notice);
}

void KochScreen::addRow(const KochRow& row, const std::string& result) {
    QString wrong;
    for (bool w : row.wrong)
        wrong += w ? QLatin1Char('1') : QLatin1Char('0');
    auto* item = new QListWidgetItem(qText(row.sent + "   " + row.typed));
    item->setData(kSentRole, qText(row.sent));
    item->setData(kTypedRole, qText(row.typed));
    item->setData(kWrongRole, wrong);
    item->setData(Qt::AccessibleTextRole, qText(result));
    item->setToolTip(qText(result));
    groups_->addItem(item);
    groups_->scrollToBottom();
}

void KochScreen::closed() {
    trainer_->close();
}

void kochScreen(App& app) {
    KochScreen screen(app);
    screen.run();
}

}  // namespace keyview
