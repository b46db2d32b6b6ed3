// The exercise entry points of the main window.
#include "exercises.h"

#include "key_screens.h"
#include "koch_screen.h"
#include "platform/ui/edition_screens.h"
#include "practice_layouts.h"
#include "progress_screen.h"

namespace keyview {

void lessonScreen(App& app, int lesson) {
    keytut::ui::runLesson<LessonScreen, PunctuationScreen>(app, lesson);
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

}  // namespace keyview
