#include "message_screen.h"

namespace keytut::ui {

MessageLayout textToSendLayout(int captionY, int boxY) {
    using namespace message_ids;
    MessageLayout layout;
    layout.screen = {std::string(kMessageTitle), 350, 60, DialogFont::SansSerif8, FrameKind::Popup};
    layout.controls = {
        {kCaption, ControlKind::Label, std::string(kTextToSendCaption), 5, captionY, 42, 10,
         style::AlignRight},
        {kTextBox, ControlKind::Edit, "", 50, boxY, 290, 12},
    };
    // The screen reader names the box by its caption.
    layout.labels = {{kCaption, kTextBox}};
    layout.openingFocus = kTextBox;
    layout.textBox = kTextBox;
    return layout;
}

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
