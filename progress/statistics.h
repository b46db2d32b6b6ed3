// The learner's progress in words and figures: each character's accuracy over its last answers
// and its response time, and the summary that opens the progress screen.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "history.h"

namespace keytut::progress {

struct CharacterStats {
    char character = 0;
    int answers = 0;        // every answer kept for it
    int recentAnswers = 0;  // of its last kRecentAnswers
    int recentRight = 0;
    std::optional<double> responseMs;  // the mean over those of its last answers that have one

    // The accuracy over its last answers, rounded to a whole percent; 0 without answers.
    int percent() const;
};

// The accuracy of `results` (right or wrong, oldest first) over the last kRecentAnswers of them.
CharacterStats statsOf(char c, int answers, const std::vector<bool>& recentResults,
                       const std::vector<int>& recentResponseMs);

// How a character is named in the texts; none: the character itself. (Earkey names the marks:
// "Full Stop: 61 percent ...".)
using CharacterName = std::function<std::string(char)>;

// "Q: 61 percent of 88 answers, 1.4 seconds"; without a response time the seconds are left out,
// and a character not yet answered says "K: no answers yet".
std::string characterLine(const CharacterStats& stats, const CharacterName& name = {});

// The `count` characters of lowest accuracy among those answered, lowest first; equal ones in
// the order given.
std::vector<CharacterStats> weakest(const std::vector<CharacterStats>& stats, std::size_t count);

// "Level 12 of 41. Last session 92 percent. Weakest: Q 61 percent, Y 70 percent, P 74 percent".
// Before any session: "Level 2 of 41. No session yet"; the weakest are left out until a
// character has been answered.
std::string summaryText(int level, int courseSize, std::optional<int> lastSessionPercent,
                        const std::vector<CharacterStats>& stats, const CharacterName& name = {});

}  // namespace keytut::progress
