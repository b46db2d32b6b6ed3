#include "koch_screen.h"

#include "platform/ui/learner_progress.h"
#include "platform/ui/text.h"

namespace earkey {

using namespace keytut;
using namespace keytut::ui;
using namespace earkey::koch;

KochScreen::KochScreen(App& app)
    : ExerciseScreen(app, {kKochTrainerTitle, kWidth, kHeight, DialogFont::Courier8,
                           FrameKind::Popup, nullptr}),
      trainer_(kochTrainer(app, kochCourse(app))) {
    createControl({kInstructions, ControlKind::Label, "", 5, 5, 290, 30, style::Border});
    createControl({kCopyLabel, ControlKind::Label, "&Copy:", 5, 46, 30, 10, style::AlignRight});
    copyBox_ = qobject_cast<QLineEdit*>(
        createControl({kCopyBox, ControlKind::Edit, "", 40, 44, 150, 12, style::Border}));
    labelControl(kCopyLabel, kCopyBox);
    // The last result, to hear again with Tab.
    resultBox_ = qobject_cast<SpokenBox*>(createControl(
        {kResultBox, ControlKind::SpokenText, "", 5, 64, 290, 40, style::Border | style::TabStop}));
    setColours(kResultBox, Qt::black, Qt::white);
    createControl(
        {kCourseLabel, ControlKind::Label, "Co&urse:", 5, 112, 30, 10, style::AlignRight});
    course_ = qobject_cast<QComboBox*>(
        createControl({kCourse, ControlKind::DropDownList, "", 40, 110, 70, 60}));
    labelControl(kCourseLabel, kCourse);
    createControl(
        {kOwnOrderLabel, ControlKind::Label, "&Own order:", 115, 112, 45, 10, style::AlignRight});
    ownOrder_ = qobject_cast<QLineEdit*>(
        createControl({kOwnOrder, ControlKind::Edit, "", 165, 110, 130, 12, style::Border}));
    labelControl(kOwnOrderLabel, kOwnOrder);
    setItems(kCourse, courseChoices());
    // The box shows the order in use, for the learner to change.
    setSelection(kCourse, courseChoiceOf(app, trainer_->course()));
    ownOrder_->setText(qText(trainer_->course()));
    showOpening();

    connect(copyBox_, &QLineEdit::textChanged, this,
            [this](const QString& text) { trainer_->typedChanged(stdText(text)); });
    // The list says its new value itself; a course that cannot be used is said after it.
    connect(course_, &QComboBox::activated, this, [this] {
        if (auto error = applyCourse())
            announce(*error);
    });
    connect(this, &QDialog::finished, this, &KochScreen::closed);
    setKeyTable({{Qt::Key_Return, Qt::NoModifier, [this] { returnPressed(); }}});
    setOpeningFocus(kCopyBox);
}

void KochScreen::showOpening() {
    const std::string opening = trainer_->openingText();
    setText(kInstructions, opening);
    // The screen opens in the copy box, where the focus stays: the screen reader says the
    // opening text with it. (Orca 43 says nothing of an empty line edit reached with Tab, so the
    // opening text is not a stop of its own before it.) Typing replaces the description with
    // what was typed.
    copyBox_->setAccessibleDescription(qText(opening));
}

std::optional<std::string> KochScreen::applyCourse() {
    const std::string before = trainer_->course();
    if (auto error =
            useCourse(app(), trainer_, course_->currentIndex(), stdText(ownOrder_->text())))
        return error;
    if (trainer_->course() != before)
        showOpening();
    ownOrder_->setText(qText(trainer_->course()));
    return std::nullopt;
}

void KochScreen::returnPressed() {
    if (ownOrder_->hasFocus()) {
        // The order typed, chosen in the list with it (LCWO's or the lessons' when it is one of
        // them).
        const TypedCourseOrder typed =
            parseCourseOrder(stdText(ownOrder_->text()), app().tutor.codes);
        if (typed.error.empty())
            setSelection(kCourse, courseChoiceOf(app(), typed.characters));
        auto error = typed.error.empty() ? applyCourse() : typed.error;
        announce(error ? *error : trainer_->openingText());
        return;
    }
    const KochUpdate update = trainer_->returnKey(stdText(copyBox_->text()));
    if (!update.acted)
        return;
    if (update.groupStarted)
        copyBox_->clear();
    // One utterance: the group, the session's end, and why nothing is kept (the first time).
    std::string said;
    for (const auto& part : {update.result, update.sessionResult, update.notice}) {
        if (part)
            said += (said.empty() ? "" : ". ") + *part;
    }
    if (said.empty())
        return;
    resultBox_->setText(qText(said));
    announce(said);
}

void KochScreen::closed() {
    // Escape: the sound stops after its character; the judged groups are kept.
    trainer_->close();
}

void kochScreen(App& app) {
    KochScreen screen(app);
    screen.run();
}

}  // namespace earkey
