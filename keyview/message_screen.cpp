#include "message_screen.h"

#include "exercises/lesson.h"

namespace keyview {

using namespace keytut;
using namespace keytut::ui;
using namespace keyview::message;

MessageScreen::MessageScreen(App& app)
    : ExerciseScreen(app, {std::string(kMessageTitle), kWidth, kHeight, DialogFont::SansSerif8,
                           FrameKind::Popup, nullptr}),
      sending_(app.tutor) {
    createControl({kCaption, ControlKind::Label, std::string(kTextToSendCaption), 5, 16, 42, 10,
                   style::AlignRight});
    createControl({kTextBox, ControlKind::Edit, "", 50, 15, 290, 12});
    labelControl(kCaption, kTextBox);
    onPressed(
        createControl({kSend, ControlKind::PushButton, std::string(kSendCaption), 280, 40, 25, 15}),
        [this] { returnPressed(); });
    onPressed(
        createControl({kExit, ControlKind::PushButton, std::string(kExitCaption), 320, 40, 25, 15}),
        [this] { cancelled(); });
    setOpeningFocus(kTextBox);
}

// Return in the text box is Send, as the button is; Escape is Exit.
void MessageScreen::returnPressed() {
    sending_.send(text(kTextBox));
}

void MessageScreen::cancelled() {
    sending_.close();
    endScreen();
}

}  // namespace keyview
