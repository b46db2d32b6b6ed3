#include "koch_screen.h"

#include <QApplication>
#include <QPainter>
#include <QStyledItemDelegate>

#include "exercises/edition_profiles.h"
#include "platform/ui/edition_screens.h"
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
    : KochScreenBase(
          app, {kKochTrainerTitle, 300, 232, DialogFont::SansSerif8, FrameKind::Closable, nullptr},
          kochRows(30, 120, kCourseLabel, 186)) {
    instructions_ = createControlAs<QLabel>(
        {kInstructions, ControlKind::Label, trainer().openingText(), 5, 5, 290, 20});
    createCopyRow();
    start_ =
        createControlAs<QPushButton>({kStart, ControlKind::PushButton, "&Start", 170, 29, 50, 14});
    // Start does what Return does.
    onPressed(start_, [this] { returnPressed(); });
    onPressed(createControl({kExit, ControlKind::PushButton, "Exit", 245, 29, 50, 14}),
              [this] { cancelled(); });
    groups_ = createControlAs<QListWidget>(
        {kGroups, ControlKind::ListBox, "", 5, 50, 290, 130, style::NoTabStop});
    groups_->setItemDelegate(new GroupRowDelegate(groups_));
    groups_->setAccessibleName(QStringLiteral("Groups"));
    createCourseRow();
    status_ = createControlAs<QLabel>({kStatus, ControlKind::Label, "", 5, 206, 290, 20});
    bind();
}

void KochScreen::courseChanged() {
    instructions_->setText(qText(trainer().openingText()));
}

void KochScreen::courseRefused(const std::string& error) {
    status_->setText(qText(error));
}

void KochScreen::groupJudged(const KochUpdate& update) {
    if (update.row && update.result)
        addRow(*update.row, *update.result);
    std::string shown;
    for (const auto& part : {update.result, update.sessionResult}) {
        if (part)
            shown += (shown.empty() ? "" : ". ") + *part;
    }
    if (!shown.empty() || update.groupStarted)
        status_->setText(qText(shown));
    copyBox()->setFocus(Qt::OtherFocusReason);
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

const EditionScreens kKoch{kKeyviewProfile.name, opens<KochScreen>(exercise::kKochTrainer)};

}  // namespace keyview
