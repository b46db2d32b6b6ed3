// Earkey's message sending: the learner types a line into the text box and presses Return to hear
// it; the box keeps the text, so it can be changed and sent again.
#pragma once

#include "exercises/message.h"
#include "platform/ui/exercise_screen.h"

namespace earkey {

namespace message {
constexpr int kCaption = 100;
constexpr int kTextBox = 101;
constexpr int kInstructions = 102;
constexpr int kWidth = 350;
constexpr int kHeight = 60;
}  // namespace message

class MessageScreen : public keytut::ui::ExerciseScreen {
    Q_OBJECT
  public:
    explicit MessageScreen(keytut::ui::App& app);

  protected:
    void returnPressed() override;
    void cancelled() override;

  private:
    keytut::MessageSending sending_;
};

}  // namespace earkey
