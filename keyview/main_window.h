// Keyview's main window: numbered lesson buttons with each group written beside them, short
// practice buttons with mnemonics and a description, and the settings.
#pragma once

#include <vector>

#include "platform/ui/menu_window.h"

namespace keyview {

inline const char* const kMainWindowTitle =
    "Keyview v1.02     A Morse Code Tutor program for Windows       by QQ0QQ";

class MainWindow : public keytut::ui::MenuWindow {
  public:
    MainWindow(keytut::ui::App& app, keytut::ui::ExerciseOpeners openers,
               std::vector<keytut::ui::ExerciseButton> registry = keytut::ui::exerciseRegistry());
};

}  // namespace keyview
