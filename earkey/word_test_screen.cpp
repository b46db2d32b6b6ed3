#include "word_test_screen.h"

#include "platform/ui/spoken_box.h"

namespace earkey {

using namespace keytut;
using namespace keytut::ui;
using namespace earkey::word_test;

WordTestScreen::WordTestScreen(App& app)
    : ExerciseScreen(app, {std::string(kWordTestTitle), kWidth, kHeight, DialogFont::Courier8,
                           FrameKind::Popup, nullptr}),
      test_(app.tutor, whenSent()) {
    createControl({kInstructions, ControlKind::Label, std::string(kEarkeyWordTestInstructions), 5,
                   5, 170, 30});
    // The only control that takes the focus; its words are spoken each time they change.
    createControl(
        {kWordBox, ControlKind::SpokenText, "", 5, 65, 150, 10, style::Border | style::TabStop});
    setColours(kWordBox, Qt::black, Qt::white);
    nameForScreenReader(control(kWordBox), kWordBoxName);
    setKeyTable({
        {Qt::Key_Return, Qt::NoModifier, [this] { show(test_.start()); }},
        {Qt::Key_Up, Qt::NoModifier, [this] { show(test_.up()); }},
        {Qt::Key_Down, Qt::NoModifier, [this] { show(test_.down()); }},
    });
    setOpeningFocus(kWordBox);
}

void WordTestScreen::show(const WordTestUpdate& update) {
    if (!update.acted)
        return;
    Change change;
    change.text(kWordBox, update.box);
    if (update.speak)
        change.speak = kWordBox;
    apply(change);
}

void WordTestScreen::cancelled() {
    test_.close();
    endScreen();
}

void WordTestScreen::sendDone() {
    show(test_.sendDone());
}

}  // namespace earkey
