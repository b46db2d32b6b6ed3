// Earkey's progress screen: the learner's progress as lines read with Up and Down, each spoken as
// the cursor reaches it. First the summary ("Level 12 of 41. Last session 92 percent. Weakest:
// Q 61 percent, ..."), then one line per character ("Q: 61 percent of 88 answers, 1.4
// seconds"). Return or Escape goes back.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/exercise_screen.h"
#include "platform/ui/spoken_box.h"

namespace earkey {

namespace progress_screen {
enum Control { kLineBox = 100 };
}  // namespace progress_screen

class ProgressScreen : public keytut::ui::ExerciseScreen {
    Q_OBJECT
  public:
    explicit ProgressScreen(keytut::ui::App& app);

    const std::vector<std::string>& lines() const { return lines_; }
    int line() const { return line_; }
    keytut::ui::SpokenBox* lineBox() const { return lineBox_; }

  private:
    void move(int step);

    std::vector<std::string> lines_;
    int line_ = 0;
    keytut::ui::SpokenBox* lineBox_ = nullptr;
};

}  // namespace earkey
