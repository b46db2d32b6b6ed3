#include "lesson_screen.h"

#include <QLineEdit>

#include "core/messages.h"
#include "exercises.h"
#include "exercises/key_poller.h"
#include "exercises/punctuation.h"
#include "practice_layouts.h"

namespace keyview {

using namespace keytut::ui;
using keytut::LessonControl;
using keytut::LessonUpdate;

namespace {

const QColor kBlack{0, 0, 0};
const QColor kWhite{255, 255, 255};

ScreenSpec lessonSpec(App& app, int number) {
    ScreenSpec spec;
    spec.title = keytut::lessonTitle(app.tutor.profile, app.tutor.data.lessonGroups, number);
    spec.width = 300;
    spec.height = 220;
    spec.font = DialogFont::Courier8;
    spec.frame = FrameKind::Popup;
    return spec;
}

}  // namespace

LessonScreen::LessonScreen(App& app, const keytut::LessonState& opened)
    : ExerciseScreen(app, lessonSpec(app, opened.number)),
      lesson_(
          app.tutor, opened, [&app] { app.playSound("ding.wav"); }, whenSent()) {
    lesson_.keepAnswers(app.progress(), app.clock);
    using namespace lesson;
    createControl({kInstructions, ControlKind::Label,
                   std::string(app.tutor.profile.lessonTexts.hearing), 5, 16, 180, 30});
    createControl(
        {kNext, ControlKind::PushButton, std::string(keytut::kNextCaption), 260, 180, 25, 15});
    createControl(
        {kExit, ControlKind::PushButton, std::string(keytut::kExitCaption), 260, 200, 25, 15});
    createControl({kKeyPressedLabel, ControlKind::Label, std::string(keytut::kKeyPressedCaption),
                   210, 16, 50, 10, style::AlignRight});
    createControl({kKeyCapture, ControlKind::Edit, "", 265, 34, 0, 0, style::NoBorder});
    createControl({kCharacterBox, ControlKind::Label, "", 265, 14, 6, 10, style::Border});
    setColours(kCharacterBox, kBlack, kWhite);
    onPressed(control(kNext), [this] { show(lesson_.nextStage()); });
    onPressed(control(kExit), [this] { cancelled(); });
    setOpeningFocus(kKeyCapture);
    startKeyPoller([this] { return lesson_.pollCandidates(); });
}

void LessonScreen::cancelled() {
    lesson_.close();
    endScreen();
}

// Return where the focus is on no button, as Start does.
void LessonScreen::returnPressed() {
    show(lesson_.returnKey());
}

void LessonScreen::keyChar(char c) {
    show(lesson_.keyChar(c));
    // The recognition stage's answers are kept; if they cannot be, the learner hears why once.
    if (auto notice = lesson_.takeFaultNotice())
        tell(*notice);
}

void LessonScreen::sendDone() {
    show(lesson_.sendDone());
}

int LessonScreen::controlOf(LessonControl control) const {
    switch (control) {
        case LessonControl::CharacterBox:
            return lesson::kCharacterBox;
        case LessonControl::Instructions:
            return lesson::kInstructions;
        case LessonControl::KeyCapture:
            return lesson::kKeyCapture;
        case LessonControl::ResultsBox:
            return lesson::kResultsBox;
        case LessonControl::StartButton:
            return lesson::kStart;
        case LessonControl::None:
            break;
    }
    return 0;
}

void LessonScreen::show(const LessonUpdate& update) {
    using namespace lesson;
    if (!update.acted)
        return;
    if (update.addStartButton) {
        onPressed(createControl({kStart, ControlKind::PushButton,
                                 std::string(keytut::kStartCaption), 260, 160, 25, 15}),
                  [this] { show(lesson_.returnKey()); });
    }
    if (update.removeRecognitionControls) {
        for (int id : {kCharacterBox, kKeyPressedLabel, kKeyCapture, kNext})
            destroyControl(id);
    }
    if (update.createResultsBox) {
        // 22 units hold five characters of the lesson's font but not six, so the test text
        // wraps at its blanks into a column of one group per line.
        createControl({kResultsBox, ControlKind::Label, "", 200, 5, 22, 162, style::Border});
        setColours(kResultsBox, kBlack, kWhite);
    }

    Change change;
    change.text(kCharacterBox, update.characterBox);
    // Until stage 2 id 104 is the key-capture box; then it is the results box.
    const bool capturing = controlAs<QLineEdit>(kKeyCapture) != nullptr;
    change.text(kKeyCapture, capturing ? update.keyCaptureBox : std::nullopt);
    change.text(kInstructions, update.instructions);
    change.text(kResultsBox, capturing ? std::nullopt : update.resultsBox);
    change.focus = controlOf(update.focus);
    apply(change);
}

void lessonScreen(App& app, int lessonNumber) {
    keytut::LessonState opened;
    switch (keytut::beginLesson(opened, app.tutor.data.lessonGroups, lessonNumber)) {
        case keytut::LessonKind::None:
            return;
        case keytut::LessonKind::Punctuation: {
            PunctuationScreen screen(app, opened);
            screen.run();
            return;
        }
        case keytut::LessonKind::Character: {
            LessonScreen screen(app, opened);
            screen.run();
            return;
        }
    }
}

}  // namespace keyview
