// Earkey's message sending, thirty-word test, file sending, QSO practice, punctuation screen and
// character lesson: the shared screens with Earkey's layouts. Everything is done from the keyboard,
// and what the learner must hear is spoken.
#pragma once

#include "platform/ui/practice_screens.h"

namespace earkey {

namespace message {
using namespace keytut::ui::message_ids;
enum Control { kInstructions = 102 };
}  // namespace message

namespace word_test {
enum Control { kWordBox = 100, kInstructions = 102 };
}  // namespace word_test

namespace file {
using namespace keytut::ui::file_ids;
}  // namespace file

namespace qso {
using namespace keytut::ui::qso_ids;
enum Control { kLineBox = 100, kInstructions };
}  // namespace qso

namespace punctuation {
using namespace keytut::ui::punctuation_ids;
}  // namespace punctuation

namespace lesson {
using namespace keytut::ui::lesson_ids;
// The key that moves on to the next stage.
constexpr int kNextStageKey = Qt::Key_F1;
}  // namespace lesson

extern const keytut::ui::PracticeLayouts kPracticeLayouts;
using Practice = keytut::ui::PracticeScreens<kPracticeLayouts>;

}  // namespace earkey
