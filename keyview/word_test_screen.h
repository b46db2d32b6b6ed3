// Keyview's thirty-word test: Start sends thirty random words; when they have been sent the
// framed list shows them, one per line, for the learner to check the copy.
#pragma once

#include "exercises/word_test.h"
#include "platform/ui/exercise_screen.h"

namespace keyview {

namespace word_test {
constexpr int kList = 100;
constexpr int kStart = 101;
constexpr int kExit = 2;
constexpr int kWidth = 160;
constexpr int kHeight = 255;
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

}  // namespace keyview
