// The thirty-word test: Return or Start sends thirty random words. Earkey reads them back one at
// a time with Down and Up in a box the screen reader speaks; Keyview shows the whole list, one
// word per line, once it has been sent. Escape (or Exit) stops after the character that plays.
#pragma once

#include "exercises/word_test.h"
#include "laid_out_screen.h"

namespace keytut::ui {

struct WordTestLayout : ScreenLayout {
    // The box, or the framed list, that shows the words, black on white.
    int wordBox = 0;
    // Whether the screen reader says the box's new words when the test asks for it (the box is
    // a ControlKind::SpokenText).
    bool spoken = false;
    // What starts a list: a key, wherever the focus is (Qt::Key_Return); a button; 0: none.
    int startKey = 0;
    int startButton = 0;
    // Whether Down and Up, wherever the focus is, read the last list back word by word.
    bool readBackKeys = false;
};

class WordTestScreen : public LaidOutScreen {
    Q_OBJECT
  public:
    WordTestScreen(App& app, const WordTestLayout& layout);

    const ThirtyWordTest& test() const { return test_; }

  protected:
    void cancelled() override;
    void sendDone() override;

  private:
    void show(const WordTestUpdate& update);

    const WordTestLayout layout_;
    QWidget* const wordBox_;
    ThirtyWordTest test_;
};

}  // namespace keytut::ui
