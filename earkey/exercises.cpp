// The exercise entry points of the main window.
#include "exercises.h"

#include "key_screens.h"

#include "exercises/lesson.h"
#include "lesson_screen.h"
#include "punctuation_screen.h"

namespace earkey {

void lessonScreen(App& app, int lesson) {
    switch (keytut::beginLesson(app.tutor, lesson)) {
        case keytut::LessonKind::None:
            return;
        case keytut::LessonKind::Punctuation: {
            PunctuationScreen screen(app);
            screen.run();
            return;
        }
        case keytut::LessonKind::Character: {
            LessonScreen screen(app, lesson);
            screen.run();
            return;
        }
    }
}

keytut::ui::ExerciseEntries exerciseEntries(App& app) {
    keytut::ui::ExerciseEntries entries;
    entries.lesson = [&app](int lesson) { lessonScreen(app, lesson); };
    keytut::keys::addKeyScreens(entries, app, straightKeyLayout(), paddleKeyLayout());
    return entries;
}

}  // namespace earkey
