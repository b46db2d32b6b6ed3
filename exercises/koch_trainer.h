// The Koch trainer: the learner copies groups of five characters at full character speed,
// starting with two characters of a course order and gaining the next one each time a whole
// session of twenty groups reaches 90 %. Groups favour the characters recently got wrong and
// the newest one. Every character sent is judged against what was typed and kept in the
// learner's history, with the level reached in the course.
//
// The screens map Return, Escape and the typing box onto KochTrainer's events and apply the
// KochUpdate each returns; all sound is started here, through the sender. The end of a group's
// sound needs nothing done: the learner may type while it sounds and after.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/code_table.h"
#include "core/edition_profile.h"
#include "core/random.h"
#include "core/tutor.h"
#include "progress/history.h"

namespace keytut {

// LCWO's order, the default course.
inline constexpr std::string_view kLcwoCourseOrder = "KMURESNAPTLWI.JZ=FOY,VG5/Q92H38B?47C1D60X";
constexpr int kKochFirstLevel = 2;  // the learner starts with the first two characters
constexpr int kKochGroupLength = 5;
constexpr int kKochSessionGroups = 20;
constexpr int kKochPassPercent = 90;
inline constexpr std::string_view kKochExercise = "koch";

// The characters of this program's own lessons (KEYTUT.GRP) in lesson order, each once, without
// those the code table has no code for.
std::string lessonCourseOrder(const std::vector<std::string>& lessonGroups, const CodeTable& codes);

// A course order the learner typed: blanks are left out and small letters stand for capitals.
struct TypedCourseOrder {
    std::string characters;
    std::string error;  // empty when the order can be used; otherwise what is wrong, in words
};
TypedCourseOrder parseCourseOrder(std::string_view typed, const CodeTable& codes);

// What the learner typed, as it is judged: blanks left out, small letters as capitals.
std::string normalisedCopy(std::string_view typed);

// One sent character, judged.
struct JudgedCharacter {
    char sent = 0;
    char typed = 0;     // 0: missed, nothing typed stands for it
    int typedPos = -1;  // its place in the normalised copy
    bool right = false;
};

struct GroupJudgement {
    std::vector<JudgedCharacter> characters;  // one for each character sent, in order
    int right = 0;
    int extra = 0;  // typed characters that stand for nothing sent
};

// Aligns the copy with what was sent by edit distance (a character missed, one too many or one
// wrong each count one), so that a missed character does not shift the rest. Among alignments
// of equal cost the one matching the earlier characters is taken.
GroupJudgement judgeCopy(std::string_view sent, std::string_view copy);

// The latest answers of each character, right or wrong, at most kRecentAnswers of them.
class RecentResults {
  public:
    void load(char c, const std::vector<bool>& oldestFirst);
    void add(char c, bool right);
    int count(char c) const;
    // The share of wrong answers among them; 0 for a character not yet answered.
    double errorRate(char c) const;

  private:
    std::map<char, std::deque<bool>> results_;
};

// A character always wrong lately comes this many times as often as one always right, plus one.
constexpr double kErrorWeight = 4.0;
// The newest character (once past the first level) comes this many times as often again.
constexpr double kNewestWeight = 2.0;

// The weight of each learnt character in a draw: 1 + kErrorWeight × its error rate, the last one
// times kNewestWeight when `favourNewest`.
std::vector<double> drawWeights(std::string_view learnt, const RecentResults& recent,
                                bool favourNewest);
// A group of kKochGroupLength characters, each drawn on its own by the weights.
std::string drawGroup(Random& random, std::string_view learnt, const std::vector<double>& weights);

// How a character is said: letters and digits as they are, the marks and prosigns by name
// ("Full Stop", "Pause").
std::string spokenName(char c);

// "4 of 5. Sent K M U R E, you typed K M R E" (Earkey names marks with spokenName).
std::string groupResultText(std::string_view sent, std::string_view copy,
                            const GroupJudgement& judged, bool spoken);

// A row of Keyview's list of groups.
struct KochRow {
    std::string sent;
    std::string typed;        // the normalised copy
    std::vector<bool> wrong;  // for each character sent: missed or answered wrongly
};

// What the screen does after an event. Sound has already been started.
struct KochUpdate {
    bool acted = false;                 // false: the event means nothing now
    bool groupStarted = false;          // a new group is sounding: empty the typing box
    std::optional<std::string> result;  // the group's result: Earkey says it at once
    std::optional<KochRow> row;         // Keyview: add it to the list
    // After the last group of a session: its share and what follows, said after the result.
    std::optional<std::string> sessionResult;
    std::optional<char> newCharacter;  // the character the session added to the course
    bool newCharacterSent = false;     // the new character is being sent three times
    // Why the answers are not being kept, once, when the history could not keep them.
    std::optional<std::string> notice;
};

class KochTrainer {
  public:
    // Milliseconds since 1970; a virtual clock in tests.
    using Clock = std::function<std::int64_t()>;

    // Opens the trainer on a course order at the level kept for it (the first level for a course
    // never used). `history` may be null: nothing is kept, the groups weigh only this visit's
    // answers.
    KochTrainer(Tutor& tutor, progress::History* history, std::string course, Clock clock);

    // "Level 2 of 41: K M. Return sends a group of five ..."
    std::string openingText() const;

    // Return: starts the next group, or judges the copy of the group sent; after a session that
    // added a character, the first Return sends that character three times.
    KochUpdate returnKey(std::string_view typed);
    // The typing box changed: each new character is stamped with the time it was typed, for the
    // response times. Optional; without it no response time is kept.
    void typedChanged(std::string_view typed);
    // Escape: stops the sound after the current character; what was judged is kept, the
    // session ends there (a session cut short never adds a character).
    KochUpdate close();

    enum class Phase {
        Waiting,       // Return starts a group
        Copying,       // a group was sent; Return judges the copy
        NewCharacter,  // Return sends the new character three times
    };
    Phase phase() const { return phase_; }
    const std::string& course() const { return course_; }
    int level() const { return level_; }
    std::string_view learnt() const { return std::string_view(course_).substr(0, level_); }
    const std::string& group() const { return group_; }
    int groupsInSession() const { return groupsInSession_; }
    int sessionSent() const { return sessionSent_; }
    int sessionRight() const { return sessionRight_; }
    const RecentResults& recent() const { return recent_; }

  private:
    KochUpdate startGroup();
    KochUpdate judge(std::string_view typed);
    void endSession(KochUpdate& update, bool whole);
    std::optional<int> responseMs(const GroupJudgement& judged, const std::string& typed,
                                  std::size_t index) const;
    void takeNotice(KochUpdate& update);

    Tutor& tutor_;
    progress::History* history_;
    const EditionStyle& style_;
    Clock clock_;
    std::string course_;
    int level_ = kKochFirstLevel;
    RecentResults recent_;
    Phase phase_ = Phase::Waiting;
    std::string group_;
    std::vector<std::int64_t> characterEndsMs_;  // when each character of the group ends
    std::string stampedText_;                    // the typing box as last seen
    std::vector<std::int64_t> stamps_;           // when each of its characters was typed
    progress::SessionId session_ = 0;
    bool sessionOpen_ = false;
    int groupsInSession_ = 0;
    int sessionSent_ = 0;
    int sessionRight_ = 0;
};

}  // namespace keytut
