// Earkey's message sending, thirty-word test, file sending, QSO practice, punctuation screen and
// character lesson: the shared screens with Earkey's layouts. Everything is done from the keyboard,
// and what the learner must hear is spoken.
#pragma once

#include "platform/ui/practice_screens.h"

namespace earkey {

namespace message {
constexpr int kCaption = 100;
constexpr int kTextBox = 101;
constexpr int kInstructions = 102;
}  // namespace message

namespace word_test {
constexpr int kWordBox = 100;
constexpr int kInstructions = 102;
// What the screen reader calls the word box, before its word.
inline const char* const kWordBoxName = "Word";
}  // namespace word_test

namespace file {
constexpr int kList = 103;
constexpr int kNameLabel = 104;
constexpr int kNameBox = 105;
// What the screen reader calls the list of the lines sent, before the line it is on.
inline const char* const kListName = "Lines sent";
}  // namespace file

namespace qso {
constexpr int kLineBox = 100;
constexpr int kInstructions = 101;
constexpr int kFileLabel = 104;
constexpr int kFileList = 105;
// What the screen reader calls the line box, before its line.
inline const char* const kLineBoxName = "Q S O line";
}  // namespace qso

namespace punctuation {
constexpr int kHeading = 300;
// The buttons of the signs are 101 and on, in the group's order.
constexpr int kFirstSignButton = 101;
}  // namespace punctuation

namespace lesson {
constexpr int kInstructions = 100;
constexpr int kCharacterBox = 101;
constexpr int kResultsBox = 104;
// The key that moves on to the next stage.
constexpr int kNextStageKey = Qt::Key_F1;
}  // namespace lesson

extern const keytut::ui::PracticeLayouts kPracticeLayouts;
using Practice = keytut::ui::PracticeScreens<kPracticeLayouts>;

}  // namespace earkey
