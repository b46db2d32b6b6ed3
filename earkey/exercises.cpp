// The exercise entry points. Each screen's own file replaces its function here when the screen
// is built; until then its button starts nothing.
#include "exercises.h"

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

}  // namespace earkey
