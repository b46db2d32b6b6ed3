#include "message_screen.h"

namespace keytut::ui {

MessageScreen::MessageScreen(App& app, const MessageLayout& layout)
    : LaidOutScreen(app, layout),
      layout_(layout),
      textBox_(control(layout.textBox)),
      sending_(app.tutor) {
    onButton(layout_.sendButton, [this] { returnPressed(); });
}

void MessageScreen::returnPressed() {
    sending_.send(text(textBox_));
}

void MessageScreen::cancelled() {
    sending_.close();
    endScreen();
}

}  // namespace keytut::ui
