// Keyview's message sending, thirty-word test, file sending, QSO practice, punctuation screen and
// character lesson: the shared screens with Keyview's layouts, worked with their buttons.
#pragma once

#include "platform/ui/practice_screens.h"

namespace keyview {

namespace message {
using namespace keytut::ui::message_ids;
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
using namespace keytut::ui::file_ids;
}  // namespace file

namespace qso {
constexpr int kStart = 101;
constexpr int kStop = 102;
constexpr int kExit = 2;
constexpr int kList = 103;
using namespace keytut::ui::qso_ids;
}  // namespace qso

namespace punctuation {
using namespace keytut::ui::punctuation_ids;
constexpr int kFirstDescription = 201;  // 200 + i for sign i
constexpr int kExit = 2;
}  // namespace punctuation

namespace lesson {
using namespace keytut::ui::lesson_ids;
constexpr int kKeyPressedLabel = 102;
constexpr int kNext = 103;
// Stages 0 and 1: the invisible box that takes typed keys; it shares its id with stage 2's
// column of the test's groups (kResultsBox).
constexpr int kKeyCapture = 104;
constexpr int kStart = 1;
constexpr int kExit = 2;
}  // namespace lesson

extern const keytut::ui::PracticeLayouts kPracticeLayouts;
using Practice = keytut::ui::PracticeScreens<kPracticeLayouts>;

}  // namespace keyview
