// Keyview's message sending, thirty-word test and file sending: the shared screens with
// Keyview's layouts, worked with their buttons.
#pragma once

#include "platform/ui/file_screen.h"
#include "platform/ui/message_screen.h"
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

keytut::ui::MessageLayout messageLayout();
keytut::ui::WordTestLayout wordTestLayout();
keytut::ui::FileLayout fileLayout();

using MessageScreen = keytut::ui::WithLayout<keytut::ui::MessageScreen, messageLayout>;
using WordTestScreen = keytut::ui::WithLayout<keytut::ui::WordTestScreen, wordTestLayout>;
using FileScreen = keytut::ui::WithLayout<keytut::ui::FileScreen, fileLayout>;

}  // namespace keyview
