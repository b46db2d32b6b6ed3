// Keyview's exercise screens, each started from the main window. Each returns when its screen has
// closed.
#pragma once

#include "platform/ui/app.h"
#include "platform/ui/menu_window.h"

namespace keyview {

using keytut::ui::App;

void lessonScreen(App& app, int lesson);
void thirtyWordTest(App& app);
void qsoPractice(App& app);
void messageSending(App& app);
void fileSending(App& app);
void straightKeyDecoding(App& app);
void paddleKeyDecoding(App& app);

// The main window's table of the functions above.
keytut::ui::ExerciseEntries exerciseEntries(App& app);

}  // namespace keyview
