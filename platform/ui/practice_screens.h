// The shared practice screens (message, thirty-word test, file, QSOs, punctuation and character
// lesson) as an edition lays them out. An edition's layouts are one table of functions, and its
// screens are PracticeScreens over that table:
//
//     extern const keytut::ui::PracticeLayouts kPracticeLayouts;    // the edition's header
//     using Practice = keytut::ui::PracticeScreens<kPracticeLayouts>;
//
// so that each edition writes only its layouts, and one registration opens them all.
#pragma once

#include "edition_screens.h"
#include "file_screen.h"
#include "lesson_screen.h"
#include "message_screen.h"
#include "punctuation_screen.h"
#include "qso_screen.h"
#include "word_test_screen.h"

namespace keytut::ui {

struct PracticeLayouts {
    MessageLayout (*message)();
    WordTestLayout (*wordTest)();
    FileLayout (*file)();
    QsoLayout (*qso)();
    // Made from the lesson that beginLesson() opened.
    PunctuationLayout (*punctuation)(const LessonState& opened);
    LessonLayout (*lesson)();
};

// Each screen built from the App (and, for a lesson, the lesson that beginLesson() opened) with
// the edition's layout.
template <const PracticeLayouts& layouts>
struct PracticeScreens {
    struct Message : MessageScreen {
        explicit Message(App& app) : MessageScreen(app, layouts.message()) {}
    };
    struct WordTest : WordTestScreen {
        explicit WordTest(App& app) : WordTestScreen(app, layouts.wordTest()) {}
    };
    struct File : FileScreen {
        explicit File(App& app) : FileScreen(app, layouts.file()) {}
    };
    struct Qso : QsoScreen {
        explicit Qso(App& app) : QsoScreen(app, layouts.qso()) {}
    };
    struct Punctuation : PunctuationScreen {
        Punctuation(App& app, const LessonState& opened)
            : PunctuationScreen(app, layouts.punctuation(opened), opened) {}
    };
    struct Lesson : LessonScreen {
        Lesson(App& app, const LessonState& opened) : LessonScreen(app, layouts.lesson(), opened) {}
    };

    // What the main window's lesson buttons and its message, word test, file and QSO buttons
    // open. The sender stops as the QSO and file screens close, however they close.
    static AddOpeners opened() {
        return [](ExerciseOpeners& openers, App& app) {
            for (const AddOpeners& add :
                 {opens<Message>(exercise::kMessage), opens<WordTest>(exercise::kThirtyWords),
                  opens<File>(exercise::kFile, AfterClose::StopSending),
                  opens<Qso>(exercise::kQsos, AfterClose::StopSending),
                  opensLessons<Lesson, Punctuation>()})
                add(openers, app);
        };
    }
};

}  // namespace keytut::ui
