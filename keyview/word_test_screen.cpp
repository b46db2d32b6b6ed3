#include "word_test_screen.h"

#include "exercises/lesson.h"

namespace keyview {

using namespace keytut;
using namespace keytut::ui;
using namespace keyview::word_test;

WordTestScreen::WordTestScreen(App& app)
    : ExerciseScreen(app, {std::string(kWordTestTitle), kWidth, kHeight, DialogFont::Courier8,
                           FrameKind::Popup, nullptr}),
      test_(app.tutor, whenSent()) {
    createControl({kList, ControlKind::Label, "", 5, 5, 100, 242, style::Border});
    setColours(kList, Qt::black, Qt::white);
    createControl({kStart, ControlKind::PushButton, std::string(kStartCaption), 120, 210, 25, 15});
    createControl({kExit, ControlKind::PushButton, std::string(kExitCaption), 120, 230, 25, 15});
    onPressed(control(kStart), [this] { show(test_.start()); });
    onPressed(control(kExit), [this] { cancelled(); });
    setOpeningFocus(kStart);
}

void WordTestScreen::show(const WordTestUpdate& update) {
    if (!update.acted)
        return;
    apply(Change{}.text(kList, update.box));
}

// Return away from the buttons means nothing here; Escape is Exit.
void WordTestScreen::cancelled() {
    test_.close();
    endScreen();
}

void WordTestScreen::sendDone() {
    show(test_.sendDone());
}

}  // namespace keyview
