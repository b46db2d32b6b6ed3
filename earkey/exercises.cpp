// The exercise entry points of the main window.
#include "exercises.h"

#include "key_screens.h"

#include "exercises/lesson.h"
#include "file_screen.h"
#include "koch_screen.h"
#include "lesson_screen.h"
#include "message_screen.h"
#include "progress_screen.h"
#include "punctuation_screen.h"
#include "qso_screen.h"
#include "word_test_screen.h"

namespace earkey {

void lessonScreen(App& app, int lesson) {
    keytut::LessonState opened;
    switch (keytut::beginLesson(opened, app.tutor.data.lessonGroups, lesson)) {
        case keytut::LessonKind::None:
            return;
        case keytut::LessonKind::Punctuation: {
            PunctuationScreen screen(app, opened);
            screen.run();
            return;
        }
        case keytut::LessonKind::Character: {
            LessonScreen screen(app, opened);
            screen.run();
            return;
        }
    }
}

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

}  // namespace earkey
