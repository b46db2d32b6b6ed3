// How each edition presents the exercises. The exercises read these flags and texts instead of
// asking which edition runs, so that a difference between Earkey and Keyview is one line here.
#pragma once

#include "core/practice_data.h"

namespace keytut {

struct EditionStyle {
    // Texts the learner must hear are spoken by the screen reader: the focus is moved onto them
    // (Earkey). Otherwise they are shown where the learner looks (Keyview).
    bool speaksTexts = false;
    // The cursor keys read the last test back one item at a time, from a review list (Earkey).
    bool readsBack = false;
    // Driven from the keyboard alone: SPACE repeats, Return goes on, F1 is the next stage
    // (Earkey). Otherwise by buttons: Start, Next, Exit (Keyview).
    bool keyboardOnly = false;
};

inline constexpr EditionStyle kEarkeyStyle{true, true, true};
inline constexpr EditionStyle kKeyviewStyle{false, false, false};

inline const EditionStyle& styleOf(Edition edition) {
    return edition == Edition::Earkey ? kEarkeyStyle : kKeyviewStyle;
}

}  // namespace keytut
