// What an exercise keeps of the learner's answers, and what it reads back to choose what to
// practise. The SQLite store (store.h) is the one kept on disk; an exercise sees only this, so
// that it runs the same whether its answers are kept or not.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace keytut::progress {

// How many of a character's latest answers its accuracy and error rate are taken over.
constexpr int kRecentAnswers = 50;

// A percentage rounded to the nearest whole (a half goes up); 0 when `of` is 0.
inline int wholePercent(int part, int of) {
    return of <= 0 ? 0 : static_cast<int>((200LL * part + of) / (2LL * of));
}

// One judged answer: a character sent and what the learner answered for it.
struct Answer {
    std::int64_t timeMs = 0;  // when it was judged, milliseconds since 1970 (UTC)
    char sent = 0;
    char answered = 0;  // 0: nothing was answered for it (a character missed)
    bool right = false;
    std::optional<int> responseMs;  // from the end of its sound to the answer, where known
    int charWpm = 0;                // the speeds it was sent at
    int wordWpm = 0;
};

// What a session is, kept when it starts.
struct SessionStart {
    std::string edition;   // "earkey" or "keyview"
    std::string exercise;  // "koch", "lesson" ...
    std::int64_t timeMs = 0;
    std::string course;  // the Koch trainer's course order; empty for other exercises
    int level = 0;       // the characters of the course learnt when it started; 0 for others
};

using SessionId = std::int64_t;

class History {
  public:
    virtual ~History() = default;

    // Opens a session. 0 when nothing is being kept; record() and endSession() then keep nothing.
    virtual SessionId beginSession(const SessionStart& start) = 0;
    // Keeps one answer of the session; it is on disk when this returns.
    virtual void record(SessionId session, const Answer& answer) = 0;
    virtual void endSession(SessionId session, std::int64_t timeMs) = 0;

    // Whether each of the last `count` answers for `c` was right, oldest first.
    virtual std::vector<bool> recentResults(char c, int count) = 0;

    // The level kept for a course order (how many of its characters are learnt), if any.
    virtual std::optional<int> level(const std::string& course) = 0;
    // Keeps the level of a course and makes it the course in use.
    virtual void keepLevel(const std::string& course, int level, std::int64_t timeMs) = 0;

    // A fault that stopped the keeping, in words for the learner: given once, then nothing.
    virtual std::optional<std::string> takeFaultNotice() = 0;
};

}  // namespace keytut::progress
