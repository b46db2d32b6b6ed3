// Message sending: the learner types a line into the text box and sends it with Return (or the
// layout's Send button) to hear it; the box keeps the text, so it can be changed and sent again.
// Escape (or Exit) closes the screen after the character that is playing.
#pragma once

#include "exercises/message.h"
#include "laid_out_screen.h"

namespace keytut::ui {

// The ids both editions give the caption and the text box.
namespace message_ids {
constexpr int kCaption = 100;
constexpr int kTextBox = 101;
}  // namespace message_ids

struct MessageLayout : ScreenLayout {
    int textBox = 0;
    // The button that sends, as Return in the box does; 0: none.
    int sendButton = 0;
};

// The message screen as both editions lay it out: the text box, named by the caption on its
// left, with the caption's top at `captionY` and the box's at `boxY`. The screen opens in the box.
MessageLayout textToSendLayout(int captionY, int boxY);

class MessageScreen : public LaidOutScreen {
    Q_OBJECT
  public:
    MessageScreen(App& app, const MessageLayout& layout);

  protected:
    void returnPressed() override;
    void cancelled() override;

  private:
    const MessageLayout layout_;
    QWidget* const textBox_;
    MessageSending sending_;
};

}  // namespace keytut::ui
