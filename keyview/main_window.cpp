#include "main_window.h"

namespace keyview {

using namespace keytut::ui;

namespace {

// "&1", "&2", ...: the lesson's number, its mnemonic.
std::string numberCaption(const std::string&, int n, int) {
    return "&" + std::to_string(n);
}

}  // namespace

// Narrow numbered lesson buttons with each group written beside them, and the practice buttons
// described beside theirs.
const MenuLayout kMainWindow{
    .title = "Keyview v1.02     A Morse Code Tutor program for Windows       by QQ0QQ",
    .caption = &ExerciseButton::keyviewCaption,
    .practiceWidth = 35,
    .descriptions = true,
    .lessonCaption = numberCaption,
    .lessonWidth = 20,
    .groupsBeside = true,
};

}  // namespace keyview
