// What each edition opens from its main window, registered by the edition beside the screen it
// opens, so that a new screen is found without a list of screens to extend: an exercise is its
// entry in exercise_registry.h plus one registration in each edition, where its screen is made.
//
//     const EditionScreens kMessage{kEarkeyProfile.name, opens<MessageScreen>(exercise::kMessage)};
//
// Registrations run as the program starts, so an edition's screens are built as an object library
// (every object file linked, none dropped for want of a caller).
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "app.h"
#include "exercise_registry.h"
#include "exercises/lesson.h"

namespace keytut::ui {

// Adds openers to those an edition's main window is built with.
using AddOpeners = std::function<void(ExerciseOpeners&, App&)>;

// Registers `add` for the edition named `edition` (its profile's name).
struct EditionScreens {
    EditionScreens(std::string_view edition, AddOpeners add);
};

// Everything the program's edition (its profile's name) registered, for one main window over
// `app`.
ExerciseOpeners editionOpeners(App& app);

// Builds screen T over the main window, runs it modally and returns when it has closed.
template <class T>
void runScreen(App& app) {
    T screen(app);
    screen.run();
}

// What happens once a screen has closed, however it closed.
enum class AfterClose {
    Nothing,
    StopSending,  // the sender stops: a QSO or a file goes no further without its screen
};

// The exercise `name` opens screen T, built from the App.
template <class T>
AddOpeners opens(std::string name, AfterClose after = AfterClose::Nothing) {
    return [name = std::move(name), after](ExerciseOpeners& openers, App& app) {
        openers.byName[name] = [&app, after] {
            runScreen<T>(app);
            if (after == AfterClose::StopSending)
                app.tutor.sender.stop();
        };
    };
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

// The lesson buttons open Lesson and Punctuation (see runLesson).
template <class Lesson, class Punctuation>
AddOpeners opensLessons() {
    return [](ExerciseOpeners& openers, App& app) {
        openers.lesson = [&app](int lesson) { runLesson<Lesson, Punctuation>(app, lesson); };
    };
}

}  // namespace keytut::ui
