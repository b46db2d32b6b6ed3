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
      trainer_(app.tutor, app.progress(), kochCourse(app), app.clock) {
    createControl(
        {kInstructions, ControlKind::Label, trainer_.openingText(), 5, 5, 290, 30, style::Border});
    createControl({kCopyLabel, ControlKind::Label, "&Copy:", 5, 46, 30, 10, style::AlignRight});
    copyBox_ = qobject_cast<QLineEdit*>(
        createControl({kCopyBox, ControlKind::Edit, "", 40, 44, 150, 12, style::Border}));
    labelControl(kCopyLabel, kCopyBox);
    // The screen opens in the copy box, where the focus stays: the screen reader says the
    // opening text with it. (Orca 43 says nothing of an empty line edit reached with Tab, so the
    // opening text is not a stop of its own before it.) Typing replaces the description with
    // what was typed.
    copyBox_->setAccessibleDescription(qText(trainer_.openingText()));
    // The last result, to hear again with Tab.
    resultBox_ = qobject_cast<SpokenBox*>(createControl(
        {kResultBox, ControlKind::SpokenText, "", 5, 64, 290, 40, style::Border | style::TabStop}));
    setColours(kResultBox, Qt::black, Qt::white);

    connect(copyBox_, &QLineEdit::textChanged, this,
            [this](const QString& text) { trainer_.typedChanged(stdText(text)); });
    connect(this, &QDialog::finished, this, &KochScreen::closed);
    setKeyTable({{Qt::Key_Return, Qt::NoModifier, [this] { returnPressed(); }}});
    setOpeningFocus(kCopyBox);
}

void KochScreen::returnPressed() {
    const KochUpdate update = trainer_.returnKey(stdText(copyBox_->text()));
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
    trainer_.close();
}

void kochScreen(App& app) {
    KochScreen screen(app);
    screen.run();
}

}  // namespace earkey
