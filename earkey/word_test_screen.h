// Earkey's thirty-word test: Return sends thirty random words; afterwards (or already while they
// are sent) Down and Up read them back one at a time in the word box, spoken each time.
#pragma once

#include "exercises/word_test.h"
#include "platform/ui/exercise_screen.h"

namespace earkey {

namespace word_test {
constexpr int kWordBox = 100;
constexpr int kInstructions = 102;
constexpr int kWidth = 180;
constexpr int kHeight = 175;
// What the screen reader calls the word box, before its word.
inline const char* const kWordBoxName = "Word";
}  // namespace word_test

class WordTestScreen : public keytut::ui::ExerciseScreen {
    Q_OBJECT
  public:
    explicit WordTestScreen(keytut::ui::App& app);

    const keytut::ThirtyWordTest& test() const { return test_; }

  protected:
    void cancelled() override;
    void sendDone() override;

  private:
    void show(const keytut::WordTestUpdate& update);

    keytut::ThirtyWordTest test_;
};

}  // namespace earkey
