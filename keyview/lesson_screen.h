// Keyview's character lesson window: hearing the group's characters (stage 0), recognising random
// ones by their keys (stage 1) and the five-character group test (stage 2), driven with the
// "Next", "Start" and "Exit" buttons. The lesson itself is CharacterLesson; this window binds its
// buttons, the key poller and the sender's reports to the lesson's events and shows the result.
#pragma once

#include <cstdint>

#include "exercises/lesson.h"
#include "platform/ui/exercise_screen.h"

namespace keyview {

// Controls of the lesson window.
namespace lesson {
constexpr int kInstructions = 100;
constexpr int kCharacterBox = 101;
constexpr int kKeyPressedLabel = 102;
constexpr int kNext = 103;
constexpr int kKeyCapture = 104;  // stages 0 and 1: the invisible box that takes typed keys
constexpr int kResultsBox = 104;  // stage 2: the column of the test's groups
constexpr int kStart = 1;
constexpr int kExit = 2;
}  // namespace lesson

class LessonScreen : public keytut::ui::ExerciseScreen {
    Q_OBJECT
  public:
    // Builds the window over the lesson that beginLesson() opened and starts the key poller.
    LessonScreen(keytut::ui::App& app, const keytut::LessonState& opened);

    const keytut::CharacterLesson& lesson() const { return lesson_; }

  protected:
    void cancelled() override;
    void returnPressed() override;
    void keyChar(char c) override;
    void sendDone() override;

  private:
    void show(const keytut::LessonUpdate& update);
    int controlOf(keytut::LessonControl control) const;

    keytut::CharacterLesson lesson_;
};

}  // namespace keyview
