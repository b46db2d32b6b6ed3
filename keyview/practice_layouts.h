// Keyview's message sending, thirty-word test, file sending, QSO practice, punctuation screen and
// character lesson: the shared screens with Keyview's layouts, worked with their buttons.
#pragma once

#include "platform/ui/practice_screens.h"

namespace keyview {

// Each screen's controls beside those both editions share. Exit is 2 throughout, the id that
// Escape presses.
namespace message {
using namespace keytut::ui::message_ids;
enum Control { kSend = 1, kExit };
}  // namespace message

namespace word_test {
enum Control { kExit = 2, kList = 100, kStart };
}  // namespace word_test

namespace file {
using namespace keytut::ui::file_ids;
enum Control { kExit = 2, kStart = 101 };
}  // namespace file

namespace qso {
using namespace keytut::ui::qso_ids;
enum Control { kExit = 2, kStart = 101, kStop, kList };
}  // namespace qso

namespace punctuation {
using namespace keytut::ui::punctuation_ids;
// kFirstDescription - 1 + i describes sign i.
enum Control { kExit = 2, kFirstDescription = 201 };
}  // namespace punctuation

namespace lesson {
using namespace keytut::ui::lesson_ids;
// kKeyCapture is the invisible box that takes typed keys in stages 0 and 1; it shares its id
// with stage 2's column of the test's groups (kResultsBox).
enum Control { kStart = 1, kExit, kKeyPressedLabel = 102, kNext, kKeyCapture };
}  // namespace lesson

extern const keytut::ui::PracticeLayouts kPracticeLayouts;
using Practice = keytut::ui::PracticeScreens<kPracticeLayouts>;

}  // namespace keyview
