// The profiles of the two editions: every difference between Earkey and Keyview below the screens
// is one value here. Each program hands its own to the tutor.
#pragma once

#include "core/edition_profile.h"
#include "lesson.h"

namespace keytut {

inline constexpr EditionProfile kEarkeyProfile{
    .name = "earkey",
    .toneAmplitude = 5000,
    .wordEnding = "",
    .style = {.speaksTexts = true, .readsBack = true, .keyboardOnly = true},
    .lessonTexts = kEarkeyLessonTexts,
    .lessonTitleAsMenuCaption = true,
    .hearingPollsGroupKeys = false,
    .speedUnit = "",
    .prosignsAsLetters = true,
};

inline constexpr EditionProfile kKeyviewProfile{
    .name = "keyview",
    .toneAmplitude = 3000,
    .wordEnding = " ",
    .style = {.speaksTexts = false, .readsBack = false, .keyboardOnly = false},
    .lessonTexts = kKeyviewLessonTexts,
    .lessonTitleAsMenuCaption = false,
    .hearingPollsGroupKeys = true,
    .speedUnit = " WPM",
    .prosignsAsLetters = false,
};

}  // namespace keytut
