// Earkey's main menu: one button per lesson group, the practice buttons and the settings, all
// reached with Tab.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/menu_window.h"

namespace earkey {

inline const char* const kMainMenuTitle =
    "Earkey v1.01   Morse Code Practice for White Stick users    by Q Q 0 Q Q";

// The caption of lesson button i (1-based) of `count`: "Numbers" and "Punctuation" for the last
// two, otherwise each character of the group followed by a blank.
std::string lessonCaption(const std::string& group, int i, int count);

class MainMenu : public keytut::ui::MenuWindow {
  public:
    MainMenu(keytut::ui::App& app, keytut::ui::ExerciseOpeners openers,
             std::vector<keytut::ui::ExerciseButton> registry = keytut::ui::exerciseRegistry());

  protected:
    void initialise() override;

  private:
    QWidget* firstLesson_ = nullptr;  // where the screen reader starts; none without groups
};

}  // namespace earkey
