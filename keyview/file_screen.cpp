#include "file_screen.h"

#include <QApplication>

namespace keyview {

using namespace keytut;
using namespace keytut::ui;
using namespace keyview::file;

FileScreen::FileScreen(App& app)
    : ExerciseScreen(app, {std::string(kSendFileCaption), kWidth, kHeight, DialogFont::Courier8,
                           FrameKind::Popup, nullptr}) {
    createControl({kNameLabel, ControlKind::Label, std::string(kSendFileLabel), 20, 6, 20, 12,
                   style::AlignRight});
    createControl({kNameBox, ControlKind::Edit, "", 42, 5, 50, 12, style::NoTabStop});
    // Return away from the buttons starts nothing: only Start sends.
    onPressed(createControl({kStart, ControlKind::PushButton, "Start", 230, 5, 25, 15}),
              [this] { show(sending_.start(this->app().dataFolder(), text(kNameBox))); });
    onPressed(createControl({kExit, ControlKind::PushButton, "Exit", 260, 5, 25, 15}),
              [this] { cancelled(); });
    createControl({kList, ControlKind::ListBox, "", 5, 25, 270, 240,
                   style::ScrollBarAlways | style::NoTabStop});
    setOpeningFocus(kNameBox);
}

void FileScreen::show(const FileUpdate& update) {
    if (!update.acted)
        return;
    if (update.beep) {
        ++beeps_;
        QApplication::beep();
    }
    if (update.addLine)
        addItem(kList, *update.addLine);
    if (update.topIndex)
        setTopIndex(kList, *update.topIndex);
    if (update.send)
        app().tutor.sender.play(*update.send, whenSent());
    if (update.message)
        app().messages.showMessage(*update.message);
}

void FileScreen::cancelled() {
    sending_.close();
    app().tutor.sender.stop();
    endScreen();
}

void FileScreen::sendDone() {
    show(sending_.lineSent());
}

}  // namespace keyview
