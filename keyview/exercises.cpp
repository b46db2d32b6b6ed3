// The exercise entry points of the main window. The lesson is in lesson_screen.cpp.
#include "exercises.h"

#include "file_screen.h"
#include "key_screens.h"
#include "koch_screen.h"
#include "message_screen.h"
#include "progress_screen.h"
#include "qso_screen.h"
#include "word_test_screen.h"

namespace keyview {

void qsoScreen(App& app) {
    QsoScreen screen(app);
    screen.run();
    app.tutor.sender.stop();
}

void fileScreen(App& app) {
    FileScreen screen(app);
    screen.run();
    app.tutor.sender.stop();
}

keytut::ui::ExerciseEntries exerciseEntries(App& app) {
    keytut::ui::ExerciseEntries entries;
    entries.lesson = [&app](int lesson) { lessonScreen(app, lesson); };
    entries.thirtyWordTest = [&app] { wordTestScreen(app); };
    entries.messageSending = [&app] { messageScreen(app); };
    entries.qsoPractice = [&app] { qsoScreen(app); };
    entries.fileSending = [&app] { fileScreen(app); };
    entries.kochTrainer = [&app] { kochScreen(app); };
    entries.progress = [&app] { progressScreen(app); };
    keytut::keys::addKeyScreens(entries, app, straightKeyLayout(), paddleKeyLayout());
    return entries;
}

}  // namespace keyview
