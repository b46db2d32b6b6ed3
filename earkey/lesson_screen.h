// Earkey's character lesson: hearing the characters of a group (stage 0), recognising random
// ones by their keys (stage 1) and the five-character group test (stage 2), all from the
// keyboard, with every text the learner must hear spoken by the screen reader.
#pragma once

#include "exercises/lesson.h"
#include "platform/ui/exercise_screen.h"

namespace earkey {

namespace lesson {
constexpr int kInstructions = 100;
constexpr int kCharacterBox = 101;
constexpr int kResultsBox = 104;
// The key that moves on to the next stage.
constexpr int kNextStageKey = Qt::Key_F1;
constexpr int kWidth = 300;
constexpr int kHeight = 220;
}  // namespace lesson

class LessonScreen : public keytut::ui::ExerciseScreen {
    Q_OBJECT
  public:
    // Over the lesson that beginLesson() opened.
    LessonScreen(keytut::ui::App& app, const keytut::LessonState& opened);

    keytut::CharacterLesson& lesson() { return lesson_; }

  protected:
    void cancelled() override;
    void keyChar(char c) override;
    void sendDone() override;

  private:
    void show(const keytut::LessonUpdate& update);
    void createCharacterBox();
    void createInstructions(const std::string& text);
    int controlOf(keytut::LessonControl control) const;

    keytut::CharacterLesson lesson_;
};

}  // namespace earkey
