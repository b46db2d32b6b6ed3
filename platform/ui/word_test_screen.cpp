#include "word_test_screen.h"

namespace keytut::ui {

WordTestScreen::WordTestScreen(App& app, const WordTestLayout& layout)
    : LaidOutScreen(app, layout),
      layout_(layout),
      wordBox_(control(layout.wordBox)),
      test_(app.tutor, whenSent()) {
    setColours(wordBox_, Qt::black, Qt::white);
    onButton(layout_.startButton, [this] { show(test_.start()); });
    std::vector<KeyBinding> keys;
    if (layout_.startKey)
        keys.push_back({layout_.startKey, Qt::NoModifier, [this] { show(test_.start()); }});
    if (layout_.readBackKeys) {
        keys.push_back({Qt::Key_Up, Qt::NoModifier, [this] { show(test_.up()); }});
        keys.push_back({Qt::Key_Down, Qt::NoModifier, [this] { show(test_.down()); }});
    }
    setKeyTable(std::move(keys));
}

void WordTestScreen::show(const WordTestUpdate& update) {
    if (!update.acted)
        return;
    Change change;
    change.text(wordBox_, update.box);
    if (update.speak && layout_.spoken)
        change.speak = wordBox_;
    apply(change);
}

void WordTestScreen::cancelled() {
    test_.close();
    endScreen();
}

void WordTestScreen::sendDone() {
    show(test_.sendDone());
}

}  // namespace keytut::ui
