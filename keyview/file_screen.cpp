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
    createControl({kStart, ControlKind::PushButton, "Start", 230, 5, 25, 15});
    createControl({kExit, ControlKind::PushButton, "Exit", 260, 5, 25, 15});
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

void FileScreen::command(int id, int) {
    switch (id) {
        case kStart:
            show(sending_.start(app().dataFolder(), text(kNameBox)));
            break;
        case kExit:
            sending_.close();
            app().tutor.sender.stop();
            endScreen();
            break;
        default:  // not the OK command: only Start sends
            break;
    }
}

void FileScreen::sendDone() {
    show(sending_.lineSent());
}

}  // namespace keyview
