#include "key_screens.h"

#include "exercises/edition_profiles.h"

namespace earkey {

using namespace keytut::ui;
using namespace keytut::keys;

namespace {

// The decoded text under the last character, which is spoken as it changes.
KeyScreenLayout spokenDecodeScreen(const char* title, int width, int height, int labelHeight) {
    KeyScreenLayout layout;
    layout.screen.title = title;
    layout.screen.width = width;
    layout.screen.height = height;
    layout.screen.frame = FrameKind::Popup;
    layout.controls = {
        {kDecodedTextBox, ControlKind::TextBox, "", 5, 25, width - 20, 12,
         style::Border | style::ReadOnly},
        {kLastCharLabel, ControlKind::SpokenText, "", 5, 5, 60, labelHeight, style::TabStop},
    };
    // What the screen reader calls them, before their texts.
    layout.names = {{kDecodedTextBox, "Decoded text"}, {kLastCharLabel, "Last character"}};
    layout.spokenLabel = kLastCharLabel;
    return layout;
}

}  // namespace

keytut::keys::KeyScreenLayout straightKeyLayout() {
    KeyScreenLayout layout = spokenDecodeScreen(kStraightKeyTitle, 320, 240, 10);
    layout.controls.push_back(
        {kHintLabel, ControlKind::Label, "Press F1 to get timings", 5, 45, 90, 12});
    layout.timingsKey = Qt::Key_F1;
    return layout;
}

keytut::keys::KeyScreenLayout paddleKeyLayout() {
    return spokenDecodeScreen(kPaddleKeyTitle, 360, 140, 12);
}

const EditionScreens kKeyScreens{keytut::kEarkeyProfile.name,
                                 opensKeyScreens(straightKeyLayout, paddleKeyLayout)};

}  // namespace earkey
