#include "lesson_screen.h"

#include <QLineEdit>

#include "core/messages.h"
#include "exercises.h"
#include "exercises/key_poller.h"
#include "exercises/punctuation.h"
#include "punctuation_screen.h"

namespace keyview {

using namespace keytut::ui;
using keytut::LessonControl;
using keytut::LessonUpdate;

namespace {

const QColor kBlack{0, 0, 0};
const QColor kWhite{255, 255, 255};

ScreenSpec lessonSpec(App& app) {
    ScreenSpec spec;
    spec.title = keytut::lessonTitle(keytut::Edition::Keyview, app.tutor.data.lessonGroups,
                                     app.tutor.lessonNumber);
    spec.width = 300;
    spec.height = 220;
    spec.font = DialogFont::Courier8;
    spec.frame = FrameKind::Popup;
    spec.owner = app.mainWindow();
    return spec;
}

}  // namespace

LessonScreen::LessonScreen(App& app)
    : Screen(lessonSpec(app)),
      app_(app),
      lesson_(app.tutor, [&app] { app.playSound("ding.wav"); }) {
    using namespace lesson;
    app_.tutor.exerciseWindow = handle();
    createControl({kInstructions, ControlKind::Label,
                   std::string(keytut::openingInstructions(keytut::Edition::Keyview)), 5, 16, 180,
                   30});
    createControl(
        {kNext, ControlKind::PushButton, std::string(keytut::kNextCaption), 260, 180, 25, 15});
    createControl(
        {kExit, ControlKind::PushButton, std::string(keytut::kExitCaption), 260, 200, 25, 15});
    createControl({kKeyPressedLabel, ControlKind::Label, std::string(keytut::kKeyPressedCaption),
                   210, 16, 50, 10, style::AlignRight});
    createControl({kKeyCapture, ControlKind::Edit, "", 265, 34, 0, 0, style::NoBorder});
    createControl({kCharacterBox, ControlKind::Label, "", 265, 14, 6, 10, style::Border});
    setColours(kCharacterBox, kBlack, kWhite);
    startPoller(kPollMs, [this] { pollKeys(); });
}

void LessonScreen::initialise() {
    focus(lesson::kKeyCapture);
}

void LessonScreen::pollKeys() {
    const std::string candidates = lesson_.pollCandidates();
    if (candidates.empty())
        return;
    auto key = keytut::pollKeys(candidates, [this](char c) {
        return static_cast<int>(app_.keys.asyncKeyState(static_cast<unsigned char>(c)));
    });
    if (key)
        handle()->post(keytut::KeyCharMessage, static_cast<unsigned char>(*key), 0);
}

void LessonScreen::command(int id, int) {
    switch (id) {
        case lesson::kExit:
            lesson_.close();
            endScreen();
            break;
        case lesson::kNext:
            apply(lesson_.nextStage());
            break;
        case lesson::kStart:
            apply(lesson_.returnKey());
            break;
        default:
            break;
    }
}

void LessonScreen::message(int message, std::intptr_t wParam, std::intptr_t) {
    if (message == keytut::KeyCharMessage) {
        apply(lesson_.keyChar(static_cast<char>(static_cast<unsigned char>(wParam))));
    } else if (message == keytut::SendDoneMessage) {
        apply(lesson_.sendDone());
    }
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

void LessonScreen::apply(const LessonUpdate& update) {
    using namespace lesson;
    if (!update.acted)
        return;
    if (update.addStartButton) {
        createControl({kStart, ControlKind::PushButton, std::string(keytut::kStartCaption), 260,
                       160, 25, 15});
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

    if (update.characterBox && control(kCharacterBox))
        setText(kCharacterBox, *update.characterBox);
    // Until stage 2 id 104 is the key-capture box; then it is the results box.
    if (update.keyCaptureBox && controlAs<QLineEdit>(kKeyCapture)) {
        setText(kKeyCapture, *update.keyCaptureBox);
    }
    if (update.instructions)
        setText(kInstructions, *update.instructions);
    if (update.resultsBox && !controlAs<QLineEdit>(kResultsBox)) {
        setText(kResultsBox, *update.resultsBox);
    }

    if (int id = controlOf(update.focus))
        focus(id);
}

void lessonScreen(App& app, int lessonNumber) {
    switch (keytut::beginLesson(app.tutor, lessonNumber)) {
        case keytut::LessonKind::None:
            return;
        case keytut::LessonKind::Punctuation:
            punctuationScreen(app);
            return;
        case keytut::LessonKind::Character: {
            LessonScreen screen(app);
            screen.run();
            return;
        }
    }
}

}  // namespace keyview
