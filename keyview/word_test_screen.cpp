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
    setOpeningFocus(kStart);
}

void WordTestScreen::show(const WordTestUpdate& update) {
    if (!update.acted)
        return;
    apply(Change{}.text(kList, update.box));
}

void WordTestScreen::command(int id, int) {
    // The OK command (Return away from the buttons) means nothing here.
    if (id == kStart) {
        show(test_.start());
    } else if (id == kExit) {
        test_.close();
        endScreen();
    }
}

void WordTestScreen::sendDone() {
    show(test_.sendDone());
}

void wordTestScreen(App& app) {
    WordTestScreen screen(app);
    screen.run();
}

}  // namespace keyview
