#include "koch_screen_base.h"

#include "learner_progress.h"
#include "text.h"

namespace keytut::ui {

KochLayout kochRows(int copyY, int copyWidth, int courseLabelId, int courseY) {
    using namespace koch_ids;
    // Each label stands 2 units below the top of its box, so that their texts line up.
    return {
        {kCopyLabel, ControlKind::Label, "&Copy:", 5, copyY + 2, 30, 10, style::AlignRight},
        {kCopyBox, ControlKind::Edit, "", 40, copyY, copyWidth, 12, style::Border},
        {courseLabelId, ControlKind::Label, "Co&urse:", 5, courseY + 2, 30, 10, style::AlignRight},
        {courseLabelId + 1, ControlKind::DropDownList, "", 40, courseY, 70, 60},
        {courseLabelId + 2, ControlKind::Label, "&Own order:", 115, courseY + 2, 45, 10,
         style::AlignRight},
        {courseLabelId + 3, ControlKind::Edit, "", 165, courseY, 130, 12, style::Border},
    };
}

KochScreenBase::KochScreenBase(App& app, const ScreenSpec& spec, const KochLayout& layout)
    : ExerciseScreen(app, spec), layout_(layout), trainer_(kochTrainer(app, kochCourse(app))) {}

void KochScreenBase::createCopyRow() {
    createControl(layout_.copyLabel);
    copyBox_ = createControlAs<QLineEdit>(layout_.copyBox);
    labelControl(layout_.copyLabel.id, layout_.copyBox.id);
}

void KochScreenBase::createCourseRow() {
    createControl(layout_.courseLabel);
    course_ = createControlAs<QComboBox>(layout_.course);
    labelControl(layout_.courseLabel.id, layout_.course.id);
    createControl(layout_.ownOrderLabel);
    ownOrder_ = createControlAs<QLineEdit>(layout_.ownOrder);
    labelControl(layout_.ownOrderLabel.id, layout_.ownOrder.id);
}

void KochScreenBase::bind() {
    setItems(course_, courseChoices());
    // The box shows the order in use, for the learner to change.
    setSelection(course_, courseChoiceOf(app(), trainer_->course()));
    ownOrder_->setText(qText(trainer_->course()));
    connect(copyBox_, &QLineEdit::textChanged, this,
            [this](const QString& text) { trainer_->typedChanged(stdText(text)); });
    connect(course_, &QComboBox::activated, this, [this] { applyCourse(); });
    // Escape: the sound stops after its character; the judged groups are kept.
    connect(this, &QDialog::finished, this, [this] { trainer_->close(); });
    // Return sends and judges wherever the focus is.
    setKeyTable({{Qt::Key_Return, Qt::NoModifier, [this] { returnPressed(); }}});
    setOpeningFocus(layout_.copyBox.id);
}

bool KochScreenBase::applyCourse() {
    const std::string before = trainer_->course();
    if (auto error =
            useCourse(app(), trainer_, course_->currentIndex(), stdText(ownOrder_->text()))) {
        courseRefused(*error);
        return false;
    }
    if (trainer_->course() != before)
        courseChanged();
    ownOrder_->setText(qText(trainer_->course()));
    courseTaken();
    return true;
}

void KochScreenBase::returnPressed() {
    if (ownOrder_->hasFocus()) {
        // The order typed, chosen in the list with it (LCWO's or the lessons' when it is one of
        // them).
        const TypedCourseOrder typed =
            parseCourseOrder(stdText(ownOrder_->text()), app().tutor.codes);
        if (!typed.error.empty()) {
            courseRefused(typed.error);
            return;
        }
        setSelection(course_, courseChoiceOf(app(), typed.characters));
        if (applyCourse())
            ownOrderTaken();
        return;
    }
    const KochUpdate update = trainer_->returnKey(stdText(copyBox_->text()));
    if (!update.acted)
        return;
    if (update.groupStarted)
        copyBox_->clear();
    groupJudged(update);
}

}  // namespace keytut::ui
