// The thirty-word test: thirty words drawn at random from the word list are sent one after
// another for the learner to copy by ear; then the learner checks the copy against the list.
// Earkey reads the words back one at a time with the cursor keys; Keyview shows the whole list
// once it has been sent.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/random.h"
#include "core/tutor.h"
#include "review_list.h"

namespace keytut {

inline constexpr std::string_view kWordTestTitle = "Send 30 random words";
inline constexpr std::string_view kEarkeyWordTestInstructions =
    "Press Enter to start, Escape to exit.\r\n"
    "When finished use cursor keys to read the list.";
// Said instead of sending thirty silences when there is no word to draw.
inline constexpr std::string_view kNoWordsMessage =
    "No words to send: KEYTUT.WRD is missing or empty";

constexpr int kTestWords = 30;

struct WordTestDraw {
    std::vector<std::string> words;  // in the order drawn
    // Every word followed by CR LF. The sender plays the CR as a word space; the LF has no code
    // and sounds nothing.
    std::string text;
};

// Thirty words, each drawn on its own and uniformly from `wordList` (floor(r x count)), so that
// a word may come twice. `wordList` must not be empty.
WordTestDraw drawWordTest(Random& random, const std::vector<std::string>& wordList);

// What the screen does after an event: the new text of the word box (Earkey) or of the list
// (Keyview), and whether the screen reader must say it now.
struct WordTestUpdate {
    bool acted = false;  // false: the event means nothing now
    std::optional<std::string> box;
    bool speak = false;
    bool started = false;  // a new list is being sent
};

class ThirtyWordTest {
  public:
    // `sent` is told when a list this test started has been sent.
    ThirtyWordTest(Tutor& tutor, Sender::TextDone sent);

    // Return / Start: draws a new list and sends it, replacing one still being sent. The box is
    // emptied; Earkey's list holds the new words at once, none shown. With no word list, nothing
    // is sent and the box says so (spoken in Earkey).
    WordTestUpdate start();
    // The end of a text: the list has been sent. Earkey empties the box, before the first word;
    // Keyview shows the list just sent, one word per line. Ends of other texts are ignored.
    WordTestUpdate sendDone();
    // Earkey Down / Up: the next or previous word of the last list, spoken; nothing at either end.
    WordTestUpdate down();
    WordTestUpdate up();
    // Escape / Exit: nothing more is sent after the character that is playing.
    void close();

    bool listSending() const { return listSending_; }
    const ReviewList& review() const { return review_; }

  private:
    WordTestUpdate shownWord(std::optional<int> entry) const;

    Tutor& tutor_;
    Sender::TextDone sent_;
    const EditionStyle& style_;
    ReviewList review_;
    bool listSending_ = false;
};

}  // namespace keytut
