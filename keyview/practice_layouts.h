// Keyview's message sending, thirty-word test, file sending, QSO practice, punctuation screen and
// character lesson: the shared screens with Keyview's layouts, worked with their buttons.
#pragma once

#include "platform/ui/file_screen.h"
#include "platform/ui/lesson_screen.h"
#include "platform/ui/message_screen.h"
#include "platform/ui/punctuation_screen.h"
#include "platform/ui/qso_screen.h"
#include "platform/ui/word_test_screen.h"

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

keytut::ui::MessageLayout messageLayout();
keytut::ui::WordTestLayout wordTestLayout();
keytut::ui::FileLayout fileLayout();
keytut::ui::QsoLayout qsoLayout();
keytut::ui::PunctuationLayout punctuationLayout(const keytut::LessonState& opened);
keytut::ui::LessonLayout lessonLayout();

using MessageScreen = keytut::ui::WithLayout<keytut::ui::MessageScreen, messageLayout>;
using WordTestScreen = keytut::ui::WithLayout<keytut::ui::WordTestScreen, wordTestLayout>;
using FileScreen = keytut::ui::WithLayout<keytut::ui::FileScreen, fileLayout>;
using QsoScreen = keytut::ui::WithLayout<keytut::ui::QsoScreen, qsoLayout>;
// Over the lesson that beginLesson() opened.
using PunctuationScreen = keytut::ui::WithLayout<keytut::ui::PunctuationScreen, punctuationLayout>;
using LessonScreen = keytut::ui::WithLayout<keytut::ui::LessonScreen, lessonLayout>;

}  // namespace keyview
