// The progress screen's facts and the summary the tool prints: the level in the course in use,
// the last session of the Koch trainer, the weakest characters, then one line per character.
#pragma once

#include <string>
#include <vector>

#include "statistics.h"
#include "store.h"

namespace keytut::progress {

struct ProgressReport {
    std::string course;  // the course order in use
    int level = 0;
    std::optional<int> lastSessionPercent;
    // The characters learnt, in course order, then any other character answered (in the
    // lessons, say), in character order.
    std::vector<CharacterStats> characters;

    std::string summary(const CharacterName& name = {}) const;
    // The summary, then one line per character: what Earkey's list reads with Up and Down.
    std::vector<std::string> lines(const CharacterName& name = {}) const;
};

// Before the first Koch session the course is `defaultCourse` at `firstLevel`; `trainer` names
// the exercise whose sessions count as the last session.
ProgressReport progressReport(Store& store, const std::string& defaultCourse, int firstLevel,
                              const std::string& trainer);

}  // namespace keytut::progress
