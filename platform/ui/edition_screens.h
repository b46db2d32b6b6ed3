// The openers of an edition's exercise screens, made from the screen types the edition names, so
// that both editions open their screens alike and a new screen is one more type.
#pragma once

#include <functional>
#include <utility>

#include "app.h"
#include "exercise_registry.h"
#include "exercises/lesson.h"

namespace keytut::ui {

// Builds screen T over the main window, runs it modally and returns when it has closed.
template <class T>
void runScreen(App& app) {
    T screen(app);
    screen.run();
}

// Opens lesson n over the main window: the character lesson's screen (Lesson) or the punctuation
// screen (Punctuation), each built from the App and the lesson that beginLesson() opened; no
// such group opens nothing.
template <class Lesson, class Punctuation>
void runLesson(App& app, int lesson) {
    LessonState opened;
    switch (beginLesson(opened, app.tutor.data.lessonGroups, lesson)) {
        case LessonKind::None:
            return;
        case LessonKind::Punctuation: {
            Punctuation screen(app, opened);
            screen.run();
            return;
        }
        case LessonKind::Character: {
            Lesson screen(app, opened);
            screen.run();
            return;
        }
    }
}

// `Screens` names the edition's screen types WordTest, Message, Qso, File, Koch and Progress,
// each built from the App; `lesson` opens the lesson of group n. The sender stops as the QSO and
// file screens close, however they close.
template <class Screens>
ExerciseOpeners screenOpeners(App& app, std::function<void(int)> lesson) {
    using namespace exercise;
    ExerciseOpeners openers;
    openers.lesson = std::move(lesson);
    openers.byName = {
        {kThirtyWords, [&app] { runScreen<typename Screens::WordTest>(app); }},
        {kMessage, [&app] { runScreen<typename Screens::Message>(app); }},
        {kQsos,
         [&app] {
             runScreen<typename Screens::Qso>(app);
             app.tutor.sender.stop();
         }},
        {kFile,
         [&app] {
             runScreen<typename Screens::File>(app);
             app.tutor.sender.stop();
         }},
        {kKochTrainer, [&app] { runScreen<typename Screens::Koch>(app); }},
        {kProgress, [&app] { runScreen<typename Screens::Progress>(app); }},
    };
    return openers;
}

}  // namespace keytut::ui
