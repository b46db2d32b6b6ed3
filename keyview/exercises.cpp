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

keytut::ui::ExerciseOpeners exerciseOpeners(App& app) {
    using namespace keytut::ui::exercise;
    keytut::ui::ExerciseOpeners openers;
    openers.lesson = [&app](int lesson) { lessonScreen(app, lesson); };
    openers.byName = {
        {kThirtyWords, [&app] { wordTestScreen(app); }},
        {kMessage, [&app] { messageScreen(app); }},
        {kQsos, [&app] { qsoScreen(app); }},
        {kFile, [&app] { fileScreen(app); }},
        {kKochTrainer, [&app] { kochScreen(app); }},
        {kProgress, [&app] { progressScreen(app); }},
    };
    keytut::keys::addKeyScreens(openers, app, straightKeyLayout(), paddleKeyLayout());
    return openers;
}

}  // namespace keyview
