// Keyview's message sending, thirty-word test, file sending, QSO practice, punctuation screen and
// character lesson: the shared screens with Keyview's layouts, worked with their buttons.
#pragma once

#include "platform/ui/practice_screens.h"

namespace keyview {

namespace message {
constexpr int kCaption = 100;
constexpr int kTextBox = 101;
constexpr int kSend = 1;
constexpr int kExit = 2;
}  // namespace message

namespace word_test {
constexpr int kList = 100;
constexpr int kStart = 101;
constexpr int kExit = 2;
}  // namespace word_test

namespace file {
constexpr int kStart = 101;
constexpr int kExit = 2;
constexpr int kList = 103;
constexpr int kNameLabel = 104;
constexpr int kNameBox = 105;
}  // namespace file

namespace qso {
constexpr int kStart = 101;
constexpr int kStop = 102;
constexpr int kExit = 2;
constexpr int kList = 103;
constexpr int kFileLabel = 104;
constexpr int kFileList = 105;
}  // namespace qso

namespace punctuation {
constexpr int kHeading = 300;
constexpr int kFirstButton = 101;       // 100 + i for character i
constexpr int kFirstDescription = 201;  // 200 + i
constexpr int kExit = 2;
}  // namespace punctuation

namespace lesson {
constexpr int kInstructions = 100;
constexpr int kCharacterBox = 101;
constexpr int kKeyPressedLabel = 102;
constexpr int kNext = 103;
constexpr int kKeyCapture = 104;  // stages 0 and 1: the invisible box that takes typed keys
constexpr int kResultsBox = 104;  // stage 2: the column of the test's groups
constexpr int kStart = 1;
constexpr int kExit = 2;
}  // namespace lesson

extern const keytut::ui::PracticeLayouts kPracticeLayouts;
using Practice = keytut::ui::PracticeScreens<kPracticeLayouts>;

}  // namespace keyview
