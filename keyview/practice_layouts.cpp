#include "practice_layouts.h"

#include "exercises/lesson.h"

namespace keyview {

using namespace keytut;
using namespace keytut::ui;

MessageLayout messageLayout() {
    using namespace message;
    MessageLayout layout;
    layout.screen = {std::string(kMessageTitle), 350, 60, DialogFont::SansSerif8, FrameKind::Popup};
    layout.controls = {
        {kCaption, ControlKind::Label, std::string(kTextToSendCaption), 5, 16, 42, 10,
         style::AlignRight},
        {kTextBox, ControlKind::Edit, "", 50, 15, 290, 12},
        {kSend, ControlKind::PushButton, std::string(kSendCaption), 280, 40, 25, 15},
        {kExit, ControlKind::PushButton, std::string(kExitCaption), 320, 40, 25, 15},
    };
    layout.labels = {{kCaption, kTextBox}};
    layout.openingFocus = kTextBox;
    layout.exitButton = kExit;
    layout.textBox = kTextBox;
    // Return in the text box is Send, as the button is.
    layout.sendButton = kSend;
    return layout;
}

WordTestLayout wordTestLayout() {
    using namespace word_test;
    WordTestLayout layout;
    layout.screen = {std::string(kWordTestTitle), 160, 255, DialogFont::Courier8, FrameKind::Popup};
    layout.controls = {
        {kList, ControlKind::Label, "", 5, 5, 100, 242, style::Border},
        {kStart, ControlKind::PushButton, std::string(kStartCaption), 120, 210, 25, 15},
        {kExit, ControlKind::PushButton, std::string(kExitCaption), 120, 230, 25, 15},
    };
    layout.openingFocus = kStart;
    layout.exitButton = kExit;
    layout.wordBox = kList;
    // Return away from the buttons means nothing here.
    layout.startButton = kStart;
    return layout;
}

FileLayout fileLayout() {
    using namespace file;
    FileLayout layout;
    layout.screen = {std::string(kSendFileCaption), 290, 260, DialogFont::Courier8,
                     FrameKind::Popup};
    layout.controls = {
        {kNameLabel, ControlKind::Label, std::string(kSendFileLabel), 20, 6, 20, 12,
         style::AlignRight},
        {kNameBox, ControlKind::Edit, "", 42, 5, 50, 12, style::NoTabStop},
        {kStart, ControlKind::PushButton, "Start", 230, 5, 25, 15},
        {kExit, ControlKind::PushButton, "Exit", 260, 5, 25, 15},
        {kList, ControlKind::ListBox, "", 5, 25, 270, 240,
         style::ScrollBarAlways | style::NoTabStop},
    };
    layout.openingFocus = kNameBox;
    layout.exitButton = kExit;
    layout.nameBox = kNameBox;
    layout.list = kList;
    // Return away from the buttons starts nothing: only Start sends.
    layout.startButton = kStart;
    layout.linesInView = kFileListLinesInView;
    return layout;
}

}  // namespace keyview
