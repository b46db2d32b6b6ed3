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
          app.tutor, opened,
          [this, &app](std::function<void()> then) {
              app.playSound("ding.wav", this, std::move(then));
          },
          whenSent()),
      characterBox_(control(layout_.characterBox.id)),
      instructions_(control(layout_.instructions.id)),
      keyCapture_(controlAs<QLineEdit>(layout_.keyCapture)),
      resultsBox_(control(layout_.resultsBox.id)),
      startButton_(control(layout_.startButton.id)) {
    lesson_.keepAnswers(app.progress(), app.clock);
    setColours(characterBox_, Qt::black, Qt::white);
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

QWidget* LessonScreen::createBox(const ControlSpec& spec) {
    QWidget* box = createControl(spec);
    setColours(box, Qt::black, Qt::white);
    return box;
}

void LessonScreen::destroy(int id) {
    QWidget* gone = control(id);
    destroyControl(id);
    for (auto* member :
         {&characterBox_, &instructions_, &keyCapture_, &resultsBox_, &startButton_}) {
        if (*member == gone)
            *member = nullptr;
    }
}

QWidget* LessonScreen::controlOf(LessonControl which) const {
    switch (which) {
        case LessonControl::CharacterBox:
            return characterBox_;
        case LessonControl::Instructions:
            return instructions_;
        case LessonControl::KeyCapture:
            return keyCapture_;
        case LessonControl::ResultsBox:
            return resultsBox_;
        case LessonControl::StartButton:
            return startButton_;
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

    if (update.addStartButton) {
        startButton_ = createControl(layout_.startButton);
        onPressed(startButton_, [this] { show(lesson_.returnKey()); });
    }
    if (update.rebuildCharacterBox) {
        // The box goes and comes back last in tab order. The focus leaves it first, so that it
        // does not wander to wherever Qt would put it.
        if (focusIsOn(characterBox_) && instructions_)
            focus(instructions_);
        destroy(layout_.characterBox.id);
        characterBox_ = createBox(layout_.characterBox);
    }
    if (update.removeInstructions && instructions_) {
        if (focusIsOn(instructions_) && characterBox_)
            focus(characterBox_);
        destroy(layout_.instructions.id);
    }
    if (update.removeRecognitionControls) {
        for (int id : layout_.recognitionControls)
            destroy(id);
    }
    if (update.recreateInstructions && !instructions_ && layout_.instructions.id) {
        ControlSpec empty = layout_.instructions;
        empty.caption.clear();
        instructions_ = createControl(empty);
    }
    if (update.createResultsBox && !resultsBox_ && layout_.resultsBox.id)
        resultsBox_ = createBox(layout_.resultsBox);

    // The learner hears the code before its name (delayMs). Until the group test the key-capture
    // box is the results box; each text goes to the control it is meant for.
    Change change;
    change.delayMs = update.delayMs;
    change.text(characterBox_, update.characterBox)
        .text(keyCapture_, keyCapture_ ? update.keyCaptureBox : std::nullopt)
        .text(instructions_, update.instructions)
        .text(resultsBox_, keyCapture_ ? std::nullopt : update.resultsBox);
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
