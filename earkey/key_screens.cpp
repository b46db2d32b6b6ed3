#include "key_screens.h"

#include "exercises/edition_profiles.h"

namespace earkey {

using namespace keytut::ui;
using namespace keytut::keys;

keytut::keys::KeyScreenLayout straightKeyLayout() {
    KeyScreenLayout layout;
    layout.screen.title = kStraightKeyTitle;
    layout.screen.width = 320;
    layout.screen.height = 240;
    layout.screen.frame = FrameKind::Popup;
    layout.controls = {
        {kDecodedTextBox, ControlKind::TextBox, "", 5, 25, 300, 12,
         style::Border | style::ReadOnly},
        {kLastCharLabel, ControlKind::SpokenText, "", 5, 5, 60, 10, style::TabStop},
        {kHintLabel, ControlKind::Label, "Press F1 to get timings", 5, 45, 90, 12},
    };
    layout.names = {{kDecodedTextBox, kDecodedTextName}, {kLastCharLabel, kLastCharacterName}};
    layout.spokenLabel = kLastCharLabel;
    layout.timingsKey = Qt::Key_F1;
    return layout;
}

keytut::keys::KeyScreenLayout paddleKeyLayout() {
    KeyScreenLayout layout;
    layout.screen.title = kPaddleKeyTitle;
    layout.screen.width = 360;
    layout.screen.height = 140;
    layout.screen.frame = FrameKind::Popup;
    layout.controls = {
        {kDecodedTextBox, ControlKind::TextBox, "", 5, 25, 340, 12,
         style::Border | style::ReadOnly},
        {kLastCharLabel, ControlKind::SpokenText, "", 5, 5, 60, 12, style::TabStop},
    };
    layout.names = {{kDecodedTextBox, kDecodedTextName}, {kLastCharLabel, kLastCharacterName}};
    layout.spokenLabel = kLastCharLabel;
    return layout;
}

const EditionScreens kKeyScreens{keytut::kEarkeyProfile.name,
                                 opensKeyScreens(straightKeyLayout, paddleKeyLayout)};

}  // namespace earkey
