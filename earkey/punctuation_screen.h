// Earkey's punctuation screen: one button per punctuation mark or prosign of the group; the
// learner tabs from button to button (the screen reader says each caption) and presses one to
// hear its sign.
#pragma once

#include "exercises/lesson.h"
#include "exercises/punctuation.h"
#include "platform/ui/exercise_screen.h"

namespace earkey {

namespace punctuation {
constexpr int kHeading = 300;
// The buttons of the signs are 101 and on, in the group's order.
constexpr int kFirstSignButton = 101;
constexpr int kWidth = 300;
constexpr int kHeight = 220;
}  // namespace punctuation

class PunctuationScreen : public keytut::ui::ExerciseScreen {
    Q_OBJECT
  public:
    // Over the group of the lesson that beginLesson() opened.
    PunctuationScreen(keytut::ui::App& app, const keytut::LessonState& opened);

    keytut::PunctuationLesson& lesson() { return lesson_; }

  protected:
    void returnPressed() override;

  private:
    // Shows the sign last played in a message box and waits for it to be dismissed.
    void showSign(const std::string& text);

    keytut::PunctuationLesson lesson_;
};

}  // namespace earkey
