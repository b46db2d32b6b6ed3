// Keyview's exercise screens, each started from the main window. Each returns when its screen has
// closed.
#pragma once

#include "platform/ui/app.h"
#include "platform/ui/exercise_registry.h"

namespace keyview {

using keytut::ui::App;

void lessonScreen(App& app, int lesson);

// The main window's table of the exercises built so far; a button whose exercise is not built yet
// starts nothing.
keytut::ui::ExerciseOpeners exerciseOpeners(App& app);

}  // namespace keyview
