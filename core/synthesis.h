// Timing and tone: element lengths from words per minute, the tone (800 Hz unless the learner
// chose another pitch, with hard or soft edges) and the synthesis of one character into samples.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "code_table.h"
#include "practice_data.h"
#include "tone.h"

namespace keytut {

// The speeds offered in the speed lists, in words per minute.
inline const std::array<const char*, 7> speedChoices = {"5", "12", "15", "18", "20", "25", "30"};
constexpr int kSlowestWpm = 5;
constexpr int kFastestWpm = 60;

// One dot at `wpm` words per minute, in samples: round(9200 / wpm).
std::int32_t dotSamples(int wpm);

struct Timing {
    std::int32_t charDotSamples = 767;  // a dot at the character speed
    std::int32_t wordDotSamples = 767;  // a dot at the spacing speed, never shorter
};

// The longest character at the slowest speed offered: seven dashes with their six gaps and the
// gap after the character, at 5 wpm. Every synthesis at the offered speeds fits.
constexpr std::size_t kSampleBufferSize = (7 * 3 + 6 + 3) * 1840;

// Writes the samples of one character into `buffer` and returns how many: its dots and dashes at
// the character speed with one dot of silence between them and three word-speed dots after; a
// blank or a carriage return is four word-speed dots of silence; a character the table does not
// hold gives nothing. Each element's tone starts one sample into the cycle; with soft edges it
// rises and falls within the element's own samples, so the timing is the same. Never writes
// past the end of `buffer`.
std::size_t synthesiseCharacter(char character, const CodeTable& table, const Tone& tone,
                                const Timing& timing, std::span<std::int16_t> buffer);

// The speed lists of the main window: the word speed is never faster than the character speed.
// Indices are positions in speedChoices.
struct SpeedSettings {
    int charIndex = 1;  // "12"
    int wordIndex = 1;

    // The learner chose a character speed: a word speed now faster follows it down.
    void chooseCharacterSpeed(int index, Timing& timing);
    // The learner chose a word speed: a character speed now slower follows it up.
    void chooseWordSpeed(int index, Timing& timing);
};

}  // namespace keytut
