#include "key_screens.h"

#include "exercises/edition_profiles.h"

namespace keyview {

using namespace keytut::ui;
using namespace keytut::keys;

namespace {

KeyScreenLayout decodeWindow(const char* title) {
    KeyScreenLayout layout;
    layout.screen.title = title;
    layout.screen.width = 320;
    layout.screen.height = 340;
    layout.screen.frame = FrameKind::Closable;
    layout.textScrollBar = true;
    layout.controls = {{kDecodedTextBox, ControlKind::TextBox, "", 5, 25, 300, 290,
                        style::Border | style::ReadOnly | style::NoTabStop}};
    return layout;
}

}  // namespace

keytut::keys::KeyScreenLayout straightKeyLayout() {
    KeyScreenLayout layout = decodeWindow(kStraightKeyTitle);
    layout.controls.push_back({kTimingsButton, ControlKind::PushButton, "Timings", 230, 5, 40, 15});
    layout.timingsButton = kTimingsButton;
    layout.timingPicture = true;
    // No key opens the report, Return included (it would press the focused Timings button, and
    // the report clears the text): the report is had with the button, clicked or pressed with
    // SPACE. The screen takes Return and ignores it, as Earkey's.
    layout.keys = {{Qt::Key_Return, Qt::NoModifier, {}}};
    return layout;
}

keytut::keys::KeyScreenLayout paddleKeyLayout() {
    return decodeWindow(kPaddleKeyTitle);
}

const EditionScreens kKeyScreens{keytut::kKeyviewProfile.name,
                                 opensKeyScreens(straightKeyLayout, paddleKeyLayout)};

}  // namespace keyview
