// What a teacher would look at in the learner's straight-key timing: how long their dots,
// dashes and gaps are, in units of the learner's own dot, against the 1, 3, 1, 3 and 7 they
// ought to be.
//
// The learner's own dot is the unit their keying implies overall: the time of all their marks
// and of the gaps inside and between characters, divided by the units those ought to take. A
// learner keying evenly at any speed gets 1, 3, 1, 3 and 7; one whose dots are a fifth too long
// gets dots of about 1.2 and the rest a little short of ideal. Gaps between words are measured
// in that unit but do not set it, since a pause to think would swamp it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace keytut {

enum class TimedKind { Dot, Dash, ElementGap, CharacterGap, WordGap };
constexpr std::size_t kTimedKinds = 5;

// One mark or space as the straight-key decoder sorted it, in 5 ms ticks.
struct TimedElement {
    TimedKind kind;
    std::int32_t ticks;
};

struct TimedKindSummary {
    TimedKind kind = TimedKind::Dot;
    int ideal = 1;              // in units: 1, 3, 1, 3, 7
    std::vector<double> units;  // each one's length in the learner's unit, in keying order
    double mean = 0.0;          // 0 when there is none
};

struct TimingStatistics {
    double unitTicks = 0.0;  // the learner's own dot, in ticks; 0 when nothing was keyed
    std::array<TimedKindSummary, kTimedKinds> kinds;
    const TimedKindSummary& of(TimedKind kind) const {
        return kinds[static_cast<std::size_t>(kind)];
    }
};

TimingStatistics timingStatistics(const std::vector<TimedElement>& elements);

// "Dots", "Dashes", "Gaps inside characters", "Gaps between characters", "Gaps between words".
std::string timedKindName(TimedKind kind);

// One spoken sentence per kind that was keyed: "Dots 1.2 units, 20 percent long.", "Dashes
// 3.1.", "Gaps between characters 2.2, too short." Off by less than 10 percent says nothing
// more; up to 25 percent says by how much; beyond, too long or too short (reckoned from the
// figure said, to one decimal). "units" follows the first number only.
std::vector<std::string> timingSentences(const TimingStatistics& statistics);

}  // namespace keytut
