#include "main_menu.h"

namespace earkey {

using namespace keytut::ui;

std::string lessonCaption(const std::string& group, int i, int count) {
    if (i == count)
        return "Punctuation";
    if (i == count - 1)
        return "Numbers";
    std::string caption;
    for (char c : group) {
        caption += c;
        caption += ' ';
    }
    return caption;
}

// Wide lesson buttons that say their characters, the first one where the screen reader starts.
const MenuLayout kMainMenu{
    .title = "Earkey v1.01   Morse Code Practice for White Stick users    by Q Q 0 Q Q",
    .caption = &ExerciseButton::earkeyCaption,
    .practiceWidth = 80,
    .lessonCaption = lessonCaption,
    .lessonWidth = 100,
    .startOnFirstLesson = true,
};

}  // namespace earkey
