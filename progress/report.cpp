#include "report.h"

#include <algorithm>

namespace keytut::progress {

std::string ProgressReport::summary(const CharacterName& name) const {
    return summaryText(level, static_cast<int>(course.size()), lastSessionPercent, characters,
                       name);
}

std::vector<std::string> ProgressReport::lines(const CharacterName& name) const {
    std::vector<std::string> lines{summary(name)};
    for (const auto& c : characters)
        lines.push_back(characterLine(c, name));
    return lines;
}

ProgressReport progressReport(Store& store, const std::string& defaultCourse, int firstLevel,
                              const std::string& trainer) {
    ProgressReport report;
    if (auto current = store.currentCourse()) {
        report.course = current->course;
        report.level = current->level;
    } else {
        report.course = defaultCourse;
        report.level = firstLevel;
    }
    report.level = std::clamp(report.level, 0, static_cast<int>(report.course.size()));
    if (auto last = store.lastSession(trainer))
        report.lastSessionPercent = wholePercent(last->right, last->answers);

    std::vector<CharacterStats> answered = store.characterStats();
    auto statsFor = [&](char c) {
        auto it = std::find_if(answered.begin(), answered.end(),
                               [c](const CharacterStats& s) { return s.character == c; });
        if (it == answered.end()) {
            CharacterStats none;
            none.character = c;
            return none;
        }
        CharacterStats found = *it;
        answered.erase(it);
        return found;
    };
    for (char c : report.course.substr(0, static_cast<std::size_t>(report.level)))
        report.characters.push_back(statsFor(c));
    // What is left was answered outside the characters learnt; it is in character order.
    report.characters.insert(report.characters.end(), answered.begin(), answered.end());
    return report;
}

}  // namespace keytut::progress
