#include "lesson_screen.h"

#include <QLineEdit>

#include "core/messages.h"

namespace keytut::ui {

namespace {

// Both editions open a lesson in the same window, titled with the lesson's group.
ScreenLayout inLessonWindow(ScreenLayout layout, std::string title) {
    layout.screen = {std::move(title), 300, 220, DialogFont::Courier8, FrameKind::Popup};
    return layout;
}

}  // namespace

LessonScreen::LessonScreen(App& app, const LessonLayout& layout, const LessonState& opened)
    : LaidOutScreen(
          app, inLessonWindow(layout, lessonTitle(app.tutor.profile, app.tutor.data.lessonGroups,
                                                  opened.number))),
      layout_(layout),
      lesson_(
          app.tutor, opened, [&app] { app.playSound("ding.wav"); }, whenSent()) {
    lesson_.keepAnswers(app.progress(), app.clock);
    setColours(layout_.characterBox.id, Qt::black, Qt::white);
    onButton(layout_.nextButton, [this] { show(lesson_.nextStage()); });
    std::vector<KeyBinding> keys;
    if (layout_.startKey)
        keys.push_back({layout_.startKey, Qt::NoModifier, [this] { show(lesson_.returnKey()); }});
    if (layout_.repeatKey)
        keys.push_back({layout_.repeatKey, Qt::NoModifier, [this] { show(lesson_.space()); }});
    if (layout_.nextStageKey)
        keys.push_back(
            {layout_.nextStageKey, Qt::NoModifier, [this] { show(lesson_.nextStage()); }});
    if (layout_.readBackKeys) {
        keys.push_back({Qt::Key_Up, Qt::NoModifier, [this] { show(lesson_.cursorUp()); }});
        keys.push_back({Qt::Key_Down, Qt::NoModifier, [this] { show(lesson_.cursorDown()); }});
    }
    setKeyTable(std::move(keys));
    startKeyPoller([this] { return lesson_.pollCandidates(); });
}

void LessonScreen::createBox(const ControlSpec& spec) {
    createControl(spec);
    setColours(spec.id, Qt::black, Qt::white);
}

QWidget* LessonScreen::controlOf(LessonControl which) const {
    switch (which) {
        case LessonControl::CharacterBox:
            return control(layout_.characterBox.id);
        case LessonControl::Instructions:
            return control(layout_.instructions.id);
        case LessonControl::KeyCapture:
            return control(layout_.keyCapture);
        case LessonControl::ResultsBox:
            return control(layout_.resultsBox.id);
        case LessonControl::StartButton:
            return control(layout_.startButton.id);
        case LessonControl::None:
            break;
    }
    return nullptr;
}

void LessonScreen::show(const LessonUpdate& update) {
    if (!update.acted)
        return;
    if (update.next)
        runLater([this, c = *update.next] { keyChar(c); });

    const int characterBox = layout_.characterBox.id;
    const int instructions = layout_.instructions.id;
    if (update.addStartButton) {
        onPressed(createControl(layout_.startButton), [this] { show(lesson_.returnKey()); });
    }
    if (update.rebuildCharacterBox) {
        // The box goes and comes back last in tab order. The focus leaves it first, so that it
        // does not wander to wherever Qt would put it.
        if (focusedId() == characterBox && control(instructions))
            focus(instructions);
        destroyControl(characterBox);
        createBox(layout_.characterBox);
    }
    if (update.removeInstructions) {
        if (focusedId() == instructions && control(characterBox))
            focus(characterBox);
        destroyControl(instructions);
    }
    if (update.removeRecognitionControls) {
        for (int id : layout_.recognitionControls)
            destroyControl(id);
    }
    if (update.recreateInstructions && !control(instructions)) {
        ControlSpec empty = layout_.instructions;
        empty.caption.clear();
        createControl(empty);
    }
    if (update.createResultsBox && !control(layout_.resultsBox.id))
        createBox(layout_.resultsBox);

    // The learner hears the code before its name (delayMs). Until the group test the key-capture
    // box may hold the results box's id; each text goes to the control it is meant for. The
    // controls come and go with the stages, so they are looked up as they stand now.
    auto* keyCapture = controlAs<QLineEdit>(layout_.keyCapture);
    Change change;
    change.delayMs = update.delayMs;
    change.text(controlOf(LessonControl::CharacterBox), update.characterBox)
        .text(keyCapture, keyCapture ? update.keyCaptureBox : std::nullopt)
        .text(controlOf(LessonControl::Instructions), update.instructions)
        .text(controlOf(LessonControl::ResultsBox), keyCapture ? std::nullopt : update.resultsBox);
    change.focus = controlOf(update.focus);
    change.speak = controlOf(update.speak);
    apply(change);
}

void LessonScreen::cancelled() {
    lesson_.close();
    endScreen();
}

void LessonScreen::returnPressed() {
    if (layout_.returnStarts)
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

}  // namespace keytut::ui
