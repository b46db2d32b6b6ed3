// The five-character group test, the third stage of a lesson, and the reading back of a test's
// items with the cursor keys.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/random.h"
#include "core/tutor.h"

namespace keytut {

constexpr int kTestGroups = 20;
constexpr int kGroupLength = 5;
// The last entry of the review list that reading back may show.
constexpr int kLastReviewEntry = static_cast<int>(kReviewListSize) - 1;

// The characters of lesson groups 1 to `lessonNumber` joined in order, without separators: what
// the test draws from ("those learned so far"). A number past the last group takes them all.
std::string joinedGroups(const std::vector<std::string>& lessonGroups, int lessonNumber);

struct GroupTestDraw {
    std::array<std::string, kTestGroups> groups;
    // Every group followed by one blank: 120 characters ending in a blank.
    std::string text;
};

// Twenty groups of five characters of `characters`, each drawn on its own with replacement
// (floor(r x L) + 1), so that a character standing twice in the text comes twice as often.
// `characters` must not be empty.
GroupTestDraw drawGroupTest(Random& random, std::string_view characters);

// Starts a test over tutor.lessonText: Earkey empties the review list, puts the groups into
// entries 1 to 20 and shows none yet; then the whole text is sent. Returns the text sent, or
// nothing (and sends nothing) when there are no characters to draw from.
std::optional<std::string> startGroupTest(Tutor& tutor);

// A group as a screen reader should spell it: a blank before every character ("KMRST" gives
// " K M R S T").
std::string spelledForm(std::string_view group);

// Reading back the review list. Down moves to the next entry if that entry is not empty and not
// past the end of the list; Up moves to the previous one down to entry 1. Each returns the entry
// now shown, or nothing (and changes nothing) at either end.
std::optional<int> reviewDown(Tutor& tutor);
std::optional<int> reviewUp(Tutor& tutor);

}  // namespace keytut
