// What the Koch trainer and the progress screens of both editions read of the learner's history:
// the course order in use and the report of the progress so far.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app.h"
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

// How the texts name a character: Earkey names the marks and prosigns ("Full Stop"), Keyview
// shows them.
progress::CharacterName characterNames(const App& app);

}  // namespace keytut::ui
