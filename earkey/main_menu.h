// Earkey's main menu: one button per lesson group, the practice buttons and the settings, all
// reached with Tab.
#pragma once

#include <string>

#include "platform/ui/menu_window.h"

namespace earkey {

// The caption of lesson button i (1-based) of `count`: "Numbers" and "Punctuation" for the last
// two, otherwise each character of the group followed by a blank.
std::string lessonCaption(const std::string& group, int i, int count);

extern const keytut::ui::MenuLayout kMainMenu;

}  // namespace earkey
