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

LessonScreen::LessonScreen(App& app, int n)
    : Screen({lessonTitle(Edition::Earkey, app.tutor.data.lessonGroups, n), kWidth, kHeight,
              DialogFont::Courier8, FrameKind::Popup, app.mainWindow()}),
      app_(app),
      lesson_(app.tutor, [&app] { app.playSound("ding.wav"); }) {
    app_.tutor.exerciseWindow = handle();
    createCharacterBox();
    createInstructions(std::string(kEarkeyHearingInstructions));
    setKeyTable({
        {Qt::Key_Return, Qt::NoModifier, kOkCommand},
        {Qt::Key_Space, Qt::NoModifier, kSpaceCommand},
        {Qt::Key_F1, Qt::NoModifier, kNextStageCommand},
        {Qt::Key_Up, Qt::NoModifier, kUpCommand},
        {Qt::Key_Down, Qt::NoModifier, kDownCommand},
    });
    startPoller(kPollMs, [this] { poll(); });
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

void LessonScreen::initialise() {
    // The screen reader reads the instructions as the window appears.
    focus(kInstructions);
}

void LessonScreen::poll() {
    const std::string candidates = lesson_.pollCandidates();
    if (candidates.empty())
        return;
    auto key = pollKeys(candidates, [this](char c) { return app_.keys.asyncKeyState(c); });
    if (key)
        handle()->post(KeyCharMessage, static_cast<unsigned char>(*key), 0);
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

void LessonScreen::apply(const LessonUpdate& update) {
    if (!update.acted)
        return;

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

    if (update.delayMs > 0) {
        // The learner hears the code before its name. Keys typed meanwhile wait, in order.
        app_.pause(update.delayMs);
        if (ended())
            return;
    }

    // The text of the control to be spoken goes in with the speaking, so that the focus change
    // announces it.
    const int spoken = controlOf(update.speak);
    auto setUnlessSpoken = [&](int id, const std::optional<std::string>& text) {
        if (text && id != spoken)
            setText(id, *text);
    };
    setUnlessSpoken(kCharacterBox, update.characterBox);
    setUnlessSpoken(kInstructions, update.instructions);
    setUnlessSpoken(kResultsBox, update.resultsBox);

    if (const int id = controlOf(update.focus))
        focus(id);

    if (spoken) {
        std::optional<std::string> text;
        if (spoken == kCharacterBox)
            text = update.characterBox;
        else if (spoken == kInstructions)
            text = update.instructions;
        else
            text = update.resultsBox;
        speak(spoken, text ? *text : this->text(spoken));
    }
}

void LessonScreen::command(int id, int) {
    switch (id) {
        case kOkCommand:
            apply(lesson_.returnKey());
            break;
        case kSpaceCommand:
            apply(lesson_.space());
            break;
        case kNextStageCommand:
            apply(lesson_.nextStage());
            break;
        case kDownCommand:
            apply(lesson_.cursorDown());
            break;
        case kUpCommand:
            apply(lesson_.cursorUp());
            break;
        case kCancelCommand:
            lesson_.close();
            endScreen();
            break;
        default:
            break;
    }
}

void LessonScreen::message(int message, std::intptr_t wParam, std::intptr_t) {
    if (message == KeyCharMessage)
        apply(lesson_.keyChar(static_cast<char>(wParam)));
    else if (message == SendDoneMessage)
        apply(lesson_.sendDone());
}

}  // namespace earkey
