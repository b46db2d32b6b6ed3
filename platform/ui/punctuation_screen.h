// The punctuation screen: one button per character of the lesson's group, in the group's order,
// each playing its sign. The edition lays the buttons out from the group's signButtons(), with
// whatever stands beside them. Earkey's learner tabs from button to button, the screen reader
// saying each caption; Keyview shows the name of the mark or prosign beside its button.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "exercises/lesson.h"
#include "exercises/punctuation.h"
#include "laid_out_screen.h"

namespace keytut::ui {

// The ids both editions give the heading and the first sign's button; the buttons of the signs
// are 101 and on, in the group's order.
namespace punctuation_ids {
constexpr int kHeading = 300;
constexpr int kFirstSignButton = 101;
}  // namespace punctuation_ids

struct PunctuationLayout : ScreenLayout {
    // The button of the group's first sign; the next sign's is the next id, and so on.
    int firstSignButton = 0;
    // Whether Return away from the buttons names the sign last played in a message box, and
    // then plays the first sign if none had been played.
    bool returnNamesSign = false;
};

// The controls of one sign's row: its button, with the id `button` and its top at `y`, and
// whatever the edition shows beside it.
using SignRow = std::function<std::vector<ControlSpec>(const SignButton& sign, int button, int y)>;

// The window both editions give the screen: the heading, then one row per sign of the lesson's
// group, 20 units apart, the first sign's button being kFirstSignButton.
PunctuationLayout headedPunctuationLayout(const LessonState& opened, const SignRow& row);

class PunctuationScreen : public LaidOutScreen {
    Q_OBJECT
  public:
    // Over the group of the lesson that beginLesson() opened.
    PunctuationScreen(App& app, const PunctuationLayout& layout, const LessonState& opened);

    PunctuationLesson& lesson() { return lesson_; }

  protected:
    void returnPressed() override;

  private:
    // Shows the sign last played in a message box and waits for it to be dismissed.
    void showSign(const std::string& text);

    const PunctuationLayout layout_;
    PunctuationLesson lesson_;
};

}  // namespace keytut::ui
