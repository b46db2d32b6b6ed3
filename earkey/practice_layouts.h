// Earkey's message sending, thirty-word test and file sending: the shared screens with Earkey's
// layouts. Everything is done from the keyboard, and what the learner must hear is spoken.
#pragma once

#include "platform/ui/file_screen.h"
#include "platform/ui/message_screen.h"
#include "platform/ui/word_test_screen.h"

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

keytut::ui::MessageLayout messageLayout();
keytut::ui::WordTestLayout wordTestLayout();
keytut::ui::FileLayout fileLayout();

using MessageScreen = keytut::ui::WithLayout<keytut::ui::MessageScreen, messageLayout>;
using WordTestScreen = keytut::ui::WithLayout<keytut::ui::WordTestScreen, wordTestLayout>;
using FileScreen = keytut::ui::WithLayout<keytut::ui::FileScreen, fileLayout>;

}  // namespace earkey
