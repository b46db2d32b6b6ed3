// The exercise entry points of the main window.
#include "exercises.h"

#include "key_screens.h"

#include "exercises/lesson.h"
#include "koch_screen.h"
#include "lesson_screen.h"
#include "platform/ui/edition_screens.h"
#include "practice_layouts.h"
#include "progress_screen.h"

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

namespace {

struct Screens {
    using WordTest = WordTestScreen;
    using Message = MessageScreen;
    using Qso = QsoScreen;
    using File = FileScreen;
    using Koch = KochScreen;
    using Progress = ProgressScreen;
};

}  // namespace

keytut::ui::ExerciseOpeners exerciseOpeners(App& app) {
    auto openers =
        keytut::ui::screenOpeners<Screens>(app, [&app](int lesson) { lessonScreen(app, lesson); });
    keytut::keys::addKeyScreens(openers, app, straightKeyLayout(), paddleKeyLayout());
    return openers;
}

}  // namespace earkey
