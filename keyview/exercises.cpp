// The exercise entry points of the main window. The lesson is in lesson_screen.cpp.
#include "exercises.h"

#include "key_screens.h"

namespace keyview {

keytut::ui::ExerciseEntries exerciseEntries(App& app) {
    keytut::ui::ExerciseEntries entries;
    entries.lesson = [&app](int lesson) { lessonScreen(app, lesson); };
    keytut::keys::addKeyScreens(entries, app, straightKeyLayout(), paddleKeyLayout());
    return entries;
}

}  // namespace keyview
