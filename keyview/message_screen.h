// Keyview's message sending: the learner types a line and presses Send (or Return) to hear it;
// the box keeps the text, so it can be changed and sent again.
#pragma once

#include "exercises/message.h"
#include "platform/ui/exercise_screen.h"

namespace keyview {

namespace message {
constexpr int kCaption = 100;
constexpr int kTextBox = 101;
constexpr int kSend = 1;
constexpr int kExit = 2;
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

}  // namespace keyview
