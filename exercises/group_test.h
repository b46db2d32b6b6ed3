// The five-character group test, the third stage of a lesson.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/random.h"
#include "core/tutor.h"
#include "review_list.h"

namespace keytut {

constexpr int kTestGroups = 20;
constexpr int kGroupLength = 5;

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

// Starts a test over `characters`: the groups go into `review` (when the edition reads back),
// which then shows none yet; then the whole text is sent, its end told to `sent`. Returns the text
// sent, or nothing (and sends nothing, and leaves `review` alone) when there are no characters to
// draw from.
std::optional<std::string> startGroupTest(Tutor& tutor, std::string_view characters,
                                          ReviewList* review, Sender::TextDone sent);

// A group as a screen reader should spell it: a blank before every character ("KMRST" gives
// " K M R S T").
std::string spelledForm(std::string_view group);

}  // namespace keytut
