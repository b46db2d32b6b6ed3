// Key scripts for a text keyed by hand: what a learner's key would do on the lines, with each
// mark and space off by a random fraction of its length. The simulated key plays them back.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/code_table.h"
#include "sim_key.h"

namespace keytut {

// How long a hand keys each kind of mark and space, in units (1200 / wpm ms): a perfect hand's
// 1, 3, 1, 3 and 7, or a learner's own habits (dots 1.2, character gaps 2.4).
struct KeyingShape {
    double dot = 1.0;
    double dash = 3.0;
    double elementGap = 1.0;
    double characterGap = 3.0;
    double wordGap = 7.0;
};

// "DOT,DASH,GAP,CHARGAP,WORDGAP" ("1.2,3,1,2.4,7"): five positive lengths.
std::optional<KeyingShape> parseKeyingShape(const std::string& text);

struct HandKeying {
    int wpm = 12;
    KeyingShape shape;  // straight keys only
    // Each mark and space is off by a normally distributed fraction of its length with this
    // standard deviation, clipped to +-30 %.
    double jitter = 0.0;
    std::uint64_t seed = 1;
    // The key starts this long after the port has opened.
    std::int64_t leadInMs = 500;
};

// Whether `c` can be keyed: it has a code, or its capital has (keying is case-blind).
bool keyable(char c, const CodeTable& codes);

// A straight key on CTS: dots and dashes of one and three units, gaps of one unit between the
// elements of a character, three between characters and seven for a blank (or as `how.shape`
// says), a unit lasting 1200 / wpm milliseconds. Characters without a code are left out.
SimKeyScript keyStraight(const std::string& text, const CodeTable& codes, const HandKeying& how);

// Paddles, dot on CTS and dash on DSR, for the tutor's keyer at the character speed `how.wpm`:
// each element's paddle is closed from half a dot before the keyer's check that starts it until
// half the element has sounded, so that the keyer sees it exactly once. The jitter moves the
// closing and the opening by a fraction of a dot. Times assume the keyer's checks at every
// dot + 1 ticks of 5 ms from the opening, as a fresh screen makes them.
SimKeyScript keyPaddles(const std::string& text, const CodeTable& codes, const HandKeying& how);

}  // namespace keytut
