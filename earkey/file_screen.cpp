#include "file_screen.h"

#include <QApplication>
#include <QLabel>

#include "platform/ui/spoken_box.h"

namespace earkey {

using namespace keytut;
using namespace keytut::ui;
using namespace earkey::file;

FileScreen::FileScreen(App& app)
    : ExerciseScreen(app, {std::string(kSendFileCaption), kWidth, kHeight, DialogFont::Courier8,
                           FrameKind::Popup, nullptr}) {
    createControl({kNameLabel, ControlKind::Label, std::string(kSendFileLabel), 20, 6, 20, 12,
                   style::AlignRight});
    // A Tab stop, unlike Keyview's: once the focus has moved to the list at the end of a file,
    // Tab is the only way back to the name for a learner who cannot use the mouse.
    createControl({kNameBox, ControlKind::Edit, "", 42, 5, 50, 12});
    createControl({kList, ControlKind::ListBox, "", 5, 25, 270, 240, style::ScrollBarAlways});
    nameForScreenReader(control(kList), kListName);
    // The screen reader names the box by its label ("File: text") instead of "text".
    if (auto* label = controlAs<QLabel>(kNameLabel))
        label->setBuddy(control(kNameBox));
    setKeyTable({{Qt::Key_Return, Qt::NoModifier, kOkCommand}});
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
    if (update.send)
        app().tutor.sender.play(*update.send, whenSent());
    if (update.finished) {
        // The screen reader starts at the first line of the file just sent.
        setCurrentItem(kList, firstLineOfFile_);
        focus(kList);
    }
    if (update.message)
        app().messages.showMessage(*update.message);
}

void FileScreen::command(int id, int) {
    switch (id) {
        case kOkCommand: {
            const int listed = itemCount(kList);
            FileUpdate update = sending_.start(app().dataFolder(), text(kNameBox));
            if (update.send || update.finished)
                firstLineOfFile_ = listed;
            show(update);
            break;
        }
        case kCancelCommand:
            sending_.close();
            app().tutor.sender.stop();
            endScreen();
            break;
        default:
            break;
    }
}

void FileScreen::sendDone() {
    show(sending_.lineSent());
}

}  // namespace earkey
