// The base of every exercise screen of both editions.
//
// An exercise screen is a Screen owned by the main window that
//  - hands its exercise whenSent(), the call the sender makes at the end of a text the exercise
//    started: it arrives in sendDone(), later, and nowhere once the screen has closed;
//  - may run the 50 ms key poller: a newly pressed key among those the exercise names arrives
//    in keyChar();
//  - applies what happened through one step, apply(Change): the wait before the texts (if any),
//    the new texts, the focus, and having one text spoken by the screen reader (Earkey), in that
//    order;
//  - gives the focus to its opening control when it first shows, once, so that a screen reader
//    speaks the opening text once.
//
// A screen built on it declares its controls in its constructor, binds its buttons and keys to
// the exercise's events there (onPressed(), the key table), and turns the exercise's results into
// a Change. The logic itself lives in exercises/, free of any toolkit. In outline (see
// platform/ui/word_test_screen.cpp for a whole one, built from a layout each edition supplies):
//
//     WordTestScreen::WordTestScreen(App& app, const WordTestLayout& layout)
//         : LaidOutScreen(app, layout),   // the controls, names and opening focus
//           layout_(layout), wordBox_(control(layout.wordBox)), test_(app.tutor, whenSent()) {
//         setKeyTable({{Qt::Key_Down, Qt::NoModifier, [this] { show(test_.down()); }}});
//     }
//     void WordTestScreen::show(const WordTestUpdate& update) {
//         Change change;
//         change.text(wordBox_, update.box);
//         if (update.speak && layout_.spoken)
//             change.speak = wordBox_;
//         apply(change);
//     }
//     void WordTestScreen::sendDone() { show(test_.sendDone()); }
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app.h"
#include "screen.h"

namespace keytut::ui {

// The interval of the key poller.
constexpr int kKeyPollMs = 50;

// What a screen shows after an event, on its controls. Controls that do not exist (a layout
// without them, or destroyed during the wait) are left out without complaint.
struct Change {
    // Milliseconds to wait before anything below is shown; keys typed meanwhile wait, in order.
    int delayMs = 0;
    // New texts, in order; "" clears a control.
    std::vector<std::pair<QPointer<QWidget>, std::string>> texts;
    // The control that takes the focus afterwards; none leaves it.
    QPointer<QWidget> focus;
    // Earkey: the speaking control (ControlKind::SpokenText) whose text the screen reader says
    // now; its new text, if `texts` holds one, goes in with the speaking so that the one focus
    // change announces it. The focus ends there. None: nothing to say.
    QPointer<QWidget> speak;

    Change& text(QWidget* control, std::string value) {
        texts.emplace_back(control, std::move(value));
        return *this;
    }
    Change& text(QWidget* control, const std::optional<std::string>& value) {
        if (value)
            texts.emplace_back(control, *value);
        return *this;
    }
};

class ExerciseScreen : public Screen {
    Q_OBJECT
  public:
    // Builds the (empty) window modal above the main window.
    ExerciseScreen(App& app, const ScreenSpec& spec);
    ~ExerciseScreen() override;

    App& app() const { return app_; }

    // The end of a text this screen's exercise started, for the sender: arrives in sendDone().
    Sender::TextDone whenSent() {
        return queued([this] { sendDone(); });
    }
    // What the key poller does with a newly pressed key: it arrives in keyChar(), later.
    void keyPressed(char c) {
        runLater([this, c] { keyChar(c); });
    }

  protected:
    // Starts the key poller: on each tick the keys `candidates()` returns are looked at in order
    // and the first one newly pressed arrives in keyChar(), behind what is waiting. An empty
    // list looks at nothing.
    void startKeyPoller(std::function<std::string()> candidates, int intervalMs = kKeyPollMs);

    // The control that has the focus when the screen first shows. Earkey: where the screen reader
    // starts, saying the opening text once; give it the text the learner must hear on opening.
    void setOpeningFocus(int id) { openingFocus_ = id; }

    // Applies a change. One with a wait returns at once and shows the rest when the wait is
    // over, unless the screen has closed by then (an Escape ends the wait at once).
    void apply(const Change& change);

    // Tells the learner of a fault the exercise goes on after (the answers not being kept):
    // Earkey has the screen reader say it where the focus is; Keyview shows it in a message box.
    void tell(const std::string& words);

    // What happened; the defaults do nothing.
    virtual void keyChar(char) {}
    virtual void sendDone() {}

    void initialise() override;

  private:
    App& app_;
    int openingFocus_ = 0;
};

}  // namespace keytut::ui
