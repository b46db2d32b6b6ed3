// An exercise screen whose controls come from a layout value, so that both editions' versions of
// one screen are one class: each edition supplies the layout (the controls in tab order, the
// names the screen reader gives them, which label names which box, where the focus opens, which
// button is Exit) and the screen binds what the layout names to its exercise.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "exercise_screen.h"

namespace keytut::ui {

struct ScreenLayout {
    ScreenSpec screen;  // title, size, font, frame (the owner is filled in)
    // In tab order.
    std::vector<ControlSpec> controls;
    // What the screen reader calls controls whose own text says nothing of what they are.
    std::vector<std::pair<int, std::string>> names;
    // {label, control}: the screen reader names the control by the label's text.
    std::vector<std::pair<int, int>> labels;
    // The control that has the focus when the screen first shows.
    int openingFocus = 0;
    // The button that does what Escape does; 0: none.
    int exitButton = 0;
};

class LaidOutScreen : public ExerciseScreen {
    Q_OBJECT
  protected:
    LaidOutScreen(App& app, const ScreenLayout& layout);

    // Runs `action` when button `id` is pressed; a layout without that button (0) has nothing
    // to bind.
    void onButton(int id, std::function<void()> action);
};

}  // namespace keytut::ui
