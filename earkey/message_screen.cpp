#include "message_screen.h"

namespace earkey {

using namespace keytut;
using namespace keytut::ui;
using namespace earkey::message;

MessageScreen::MessageScreen(App& app)
    : ExerciseScreen(app, {std::string(kMessageTitle), kWidth, kHeight, DialogFont::SansSerif8,
                           FrameKind::Popup, nullptr}),
      sending_(app.tutor) {
    createControl({kInstructions, ControlKind::Label, std::string(kEarkeyMessageInstructions), 5, 5,
                   160, 10});
    createControl({kCaption, ControlKind::Label, std::string(kTextToSendCaption), 5, 20, 42, 10,
                   style::AlignRight});
    createControl({kTextBox, ControlKind::Edit, "", 50, 20, 290, 12});
    // The screen reader names the box by its caption.
    labelControl(kCaption, kTextBox);
    setOpeningFocus(kTextBox);
}

void MessageScreen::returnPressed() {
    sending_.send(text(kTextBox));
}

void MessageScreen::cancelled() {
    sending_.close();
    endScreen();
}

}  // namespace earkey
