// What the Koch trainer and the progress screens of both editions read of the learner's history:
// the course order in use and the report of the progress so far.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app.h"
#include "exercises/koch_trainer.h"
#include "progress/report.h"

namespace keytut::ui {

inline const char* const kKochTrainerTitle = "Koch Trainer";
inline const char* const kProgressTitle = "Progress";

// The course order the Koch trainer teaches: the one used last, or LCWO's before the first
// session (and when nothing is kept).
std::string kochCourse(App& app);

// The level, the last Koch session and each character's accuracy. With nothing kept (or a store
// that could not be read), the first level of the course and no answers.
progress::ProgressReport learnerReport(App& app);

// One Koch session that judged something: when it ended (or started, if it was never closed) and
// its accuracy.
struct SessionPoint {
    std::int64_t timeMs = 0;
    int percent = 0;
};
// Every such session, oldest first; none when nothing is kept.
std::vector<SessionPoint> kochSessions(App& app);

// The course orders the Koch trainer offers, as its Course list names them: LCWO's, the order
// of this program's lessons, and one the learner types.
std::vector<std::string> courseChoices();
constexpr int kOwnCourseChoice = 2;
// The entry of the list that stands for `course` (kOwnCourseChoice: none of the others).
int courseChoiceOf(const App& app, const std::string& course);
// The course order of entry `choice`; for the own order, `typed` as the learner typed it, with
// what is wrong with it, in words, when it cannot be used.
TypedCourseOrder courseOfChoice(const App& app, int choice, const std::string& typed);

// A Koch trainer on `course` with the main window's speeds, keeping its answers in the
// learner's history.
std::unique_ptr<KochTrainer> kochTrainer(App& app, const std::string& course);
// Moves `trainer` to the course of entry `choice` (see courseOfChoice), afresh when it is
// another course than the one in use; says why not, in words, when it cannot be used.
std::optional<std::string> useCourse(App& app, std::unique_ptr<KochTrainer>& trainer, int choice,
                                     const std::string& typed);

// How the texts name a character: Earkey names the marks and prosigns ("Full Stop"), Keyview
// shows them.
progress::CharacterName characterNames(const App& app);

}  // namespace keytut::ui
