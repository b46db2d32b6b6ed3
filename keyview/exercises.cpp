// The exercise entry points of the main window. The lesson is in lesson_screen.cpp.
#include "exercises.h"

#include "message_screen.h"
#include "word_test_screen.h"

namespace keyview {

keytut::ui::ExerciseEntries exerciseEntries(App& app) {
    keytut::ui::ExerciseEntries entries;
    entries.lesson = [&app](int lesson) { lessonScreen(app, lesson); };
    entries.thirtyWordTest = [&app] { wordTestScreen(app); };
    entries.messageSending = [&app] { messageScreen(app); };
    return entries;
}

}  // namespace keyview
