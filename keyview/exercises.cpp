// The exercise entry points. Each screen's own file replaces its function here when the screen
// is built; until then its button starts nothing. The lesson is in lesson_screen.cpp.
#include "exercises.h"

namespace keyview {

void thirtyWordTest(App&) {}
void qsoPractice(App&) {}
void messageSending(App&) {}
void fileSending(App&) {}
void straightKeyDecoding(App&) {}
void paddleKeyDecoding(App&) {}

keytut::ui::ExerciseEntries exerciseEntries(App& app) {
    return {
        [&app](int lesson) { lessonScreen(app, lesson); },
        [&app] { thirtyWordTest(app); },
        [&app] { qsoPractice(app); },
        [&app] { messageSending(app); },
        [&app] { fileSending(app); },
        [&app] { straightKeyDecoding(app); },
        [&app] { paddleKeyDecoding(app); },
    };
}

}  // namespace keyview
