#include "lesson_screen.h"

#include "core/messages.h"

namespace earkey {

using namespace keytut;
using namespace keytut::ui;
using namespace earkey::lesson;

namespace {
const QColor kBoxText = Qt::black;
const QColor kBoxBackground = Qt::white;
}  // namespace

LessonScreen::LessonScreen(App& app, const LessonState& opened)
    : ExerciseScreen(
          app, {lessonTitle(app.tutor.profile, app.tutor.data.lessonGroups, opened.number), kWidth,
                kHeight, DialogFont::Courier8, FrameKind::Popup, nullptr}),
      lesson_(
          app.tutor, opened, [&app] { app.playSound("ding.wav"); }, whenSent()) {
    lesson_.keepAnswers(app.progress(), app.clock);
    createCharacterBox();
    createInstructions(std::string(kEarkeyHearingInstructions));
    setKeyTable({
        {Qt::Key_Return, Qt::NoModifier, [this] { show(lesson_.returnKey()); }},
        {Qt::Key_Space, Qt::NoModifier, [this] { show(lesson_.space()); }},
        {kNextStageKey, Qt::NoModifier, [this] { show(lesson_.nextStage()); }},
        {Qt::Key_Up, Qt::NoModifier, [this] { show(lesson_.cursorUp()); }},
        {Qt::Key_Down, Qt::NoModifier, [this] { show(lesson_.cursorDown()); }},
    });
    // The screen reader reads the instructions as the window appears.
    setOpeningFocus(kInstructions);
    startKeyPoller([this] { return lesson_.pollCandidates(); });
}

void LessonScreen::createCharacterBox() {
    createControl({kCharacterBox, ControlKind::SpokenText, "", 265, 2, 10, 10,
                   style::Border | style::TabStop});
    setColours(kCharacterBox, kBoxText, kBoxBackground);
}

void LessonScreen::createInstructions(const std::string& text) {
    createControl({kInstructions, ControlKind::SpokenText, text, 5, 16, 240, 40,
                   style::Border | style::TabStop});
}

int LessonScreen::controlOf(LessonControl control) const {
    switch (control) {
        case LessonControl::CharacterBox:
            return kCharacterBox;
        case LessonControl::Instructions:
            return kInstructions;
        case LessonControl::ResultsBox:
            return kResultsBox;
        default:
            return 0;
    }
}

void LessonScreen::show(const LessonUpdate& update) {
    if (!update.acted)
        return;
    if (update.next)
        runLater([this, c = *update.next] { keyChar(c); });

    if (update.rebuildCharacterBox) {
        // The box goes and comes back last in tab order. The focus leaves it first, so that it
        // does not wander to wherever Qt would put it.
        if (focusedId() == kCharacterBox && control(kInstructions))
            focus(kInstructions);
        destroyControl(kCharacterBox);
        createCharacterBox();
    }
    if (update.removeInstructions) {
        if (focusedId() == kInstructions && control(kCharacterBox))
            focus(kCharacterBox);
        destroyControl(kInstructions);
    }
    if (update.recreateInstructions && !control(kInstructions))
        createInstructions("");
    if (update.createResultsBox && !control(kResultsBox)) {
        createControl({kResultsBox, ControlKind::SpokenText, "", 200, 65, 70, 12,
                       style::Border | style::TabStop});
        setColours(kResultsBox, kBoxText, kBoxBackground);
    }

    // The learner hears the code before its name (delayMs).
    Change change;
    change.delayMs = update.delayMs;
    change.text(kCharacterBox, update.characterBox)
        .text(kInstructions, update.instructions)
        .text(kResultsBox, update.resultsBox);
    change.focus = controlOf(update.focus);
    change.speak = controlOf(update.speak);
    apply(change);
}

void LessonScreen::cancelled() {
    lesson_.close();
    endScreen();
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

}  // namespace earkey
