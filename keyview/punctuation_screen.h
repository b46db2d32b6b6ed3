// Keyview's punctuation screen: one button per character of the group that plays it, with the
// name of the mark or prosign beside it, and "Exit".
#pragma once

#include <cstdint>

#include "exercises/lesson.h"
#include "exercises/punctuation.h"
#include "platform/ui/exercise_screen.h"

namespace keyview {

namespace punctuation {
constexpr int kHeading = 300;
constexpr int kFirstButton = 101;       // 100 + i for character i
constexpr int kFirstDescription = 201;  // 200 + i
constexpr int kExit = 2;
}  // namespace punctuation

class PunctuationScreen : public keytut::ui::ExerciseScreen {
    Q_OBJECT
  public:
    // Builds the screen over the lesson's group.
    PunctuationScreen(keytut::ui::App& app, const keytut::LessonState& opened);

  private:
    keytut::PunctuationLesson lesson_;
};

// Builds the screen, runs it modally and returns when it has closed.
void punctuationScreen(keytut::ui::App& app, const keytut::LessonState& opened);

}  // namespace keyview
