// The exercise entry points of the main window. The lesson is in lesson_screen.cpp.
#include "exercises.h"

namespace keyview {

keytut::ui::ExerciseEntries exerciseEntries(App& app) {
    keytut::ui::ExerciseEntries entries;
    entries.lesson = [&app](int lesson) { lessonScreen(app, lesson); };
    return entries;
}

}  // namespace keyview
