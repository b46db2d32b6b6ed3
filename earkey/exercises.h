// Earkey's exercise screens, each started from the main menu. Each returns when its screen has
// closed.
#pragma once

#include "platform/ui/app.h"
#include "platform/ui/exercise_registry.h"

namespace earkey {

using keytut::ui::App;

void lessonScreen(App& app, int lesson);

// The main menu's table of the exercises built so far; a button whose exercise is not built yet
// starts nothing.
keytut::ui::ExerciseOpeners exerciseOpeners(App& app);

}  // namespace earkey
