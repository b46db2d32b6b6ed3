#include "koch_screen.h"

#include "exercises/edition_profiles.h"
#include "platform/ui/edition_screens.h"
#include "platform/ui/learner_progress.h"
#include "platform/ui/text.h"

namespace earkey {

using namespace keytut;
using namespace keytut::ui;
using namespace earkey::koch;

KochScreen::KochScreen(App& app)
    : KochScreenBase(app,
                     {kKochTrainerTitle, 300, 130, DialogFont::Courier8, FrameKind::Popup, nullptr},
                     kochRows(44, 150, kCourseLabel, 110)) {
    instructions_ = createControlAs<QLabel>(
        {kInstructions, ControlKind::Label, "", 5, 5, 290, 30, style::Border});
    createCopyRow();
    // The last result, to hear again with Tab.
    resultBox_ = createControlAs<SpokenBox>(
        {kResultBox, ControlKind::SpokenText, "", 5, 64, 290, 40, style::Border | style::TabStop});
    setColours(resultBox_, Qt::black, Qt::white);
    createCourseRow();
    bind();
    courseChanged();
}

void KochScreen::courseChanged() {
    const std::string opening = trainer().openingText();
    setText(instructions_, opening);
    // The screen opens in the copy box, where the focus stays: the screen reader says the
    // opening text with it. (Orca 43 says nothing of an empty line edit reached with Tab, so the
    // opening text is not a stop of its own before it.) Typing replaces the description with
    // what was typed.
    copyBox()->setAccessibleDescription(qText(opening));
}

void KochScreen::groupJudged(const KochUpdate& update) {
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

const EditionScreens kKoch{kEarkeyProfile.name, opens<KochScreen>(exercise::kKochTrainer)};

}  // namespace earkey
