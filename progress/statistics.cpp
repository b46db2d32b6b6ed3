#include "statistics.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace keytut::progress {

int CharacterStats::percent() const {
    return wholePercent(recentRight, recentAnswers);
}

CharacterStats statsOf(char c, int answers, const std::vector<bool>& recentResults,
                       const std::vector<int>& recentResponseMs) {
    CharacterStats stats;
    stats.character = c;
    stats.answers = answers;
    const std::size_t from =
        recentResults.size() > kRecentAnswers ? recentResults.size() - kRecentAnswers : 0;
    for (std::size_t i = from; i < recentResults.size(); ++i) {
        ++stats.recentAnswers;
        stats.recentRight += recentResults[i] ? 1 : 0;
    }
    if (!recentResponseMs.empty()) {
        double sum = 0;
        for (int ms : recentResponseMs)
            sum += ms;
        stats.responseMs = sum / static_cast<double>(recentResponseMs.size());
    }
    return stats;
}

namespace {

std::string nameOf(char c, const CharacterName& name) {
    return name ? name(c) : std::string(1, c);
}

}  // namespace

std::string characterLine(const CharacterStats& stats, const CharacterName& name) {
    std::string line = nameOf(stats.character, name) + ": ";
    if (stats.answers == 0)
        return line + "no answers yet";
    line += std::to_string(stats.percent()) + " percent of " + std::to_string(stats.answers) +
            (stats.answers == 1 ? " answer" : " answers");
    if (stats.responseMs) {
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%.1f", std::round(*stats.responseMs / 100) / 10);
        line += ", ";
        line += seconds;
        line += " seconds";
    }
    return line;
}

std::vector<CharacterStats> weakest(const std::vector<CharacterStats>& stats, std::size_t count) {
    std::vector<CharacterStats> answered;
    for (const auto& s : stats) {
        if (s.recentAnswers > 0)
            answered.push_back(s);
    }
    // By the exact accuracy, so that 60.6 % comes before 61.4 % although both say 61 percent.
    std::stable_sort(answered.begin(), answered.end(),
                     [](const CharacterStats& a, const CharacterStats& b) {
                         return static_cast<long long>(a.recentRight) * b.recentAnswers <
                                static_cast<long long>(b.recentRight) * a.recentAnswers;
                     });
    if (answered.size() > count)
        answered.resize(count);
    return answered;
}

std::string summaryText(int level, int courseSize, std::optional<int> lastSessionPercent,
                        const std::vector<CharacterStats>& stats, const CharacterName& name) {
    std::string text = "Level " + std::to_string(level) + " of " + std::to_string(courseSize) + ".";
    if (lastSessionPercent)
        text += " Last session " + std::to_string(*lastSessionPercent) + " percent.";
    else
        text += " No session yet.";
    const auto weak = weakest(stats, 3);
    if (weak.empty()) {
        text.pop_back();  // the last sentence ends the text without its full stop
        return text;
    }
    text += " Weakest: ";
    for (std::size_t i = 0; i < weak.size(); ++i) {
        if (i > 0)
            text += ", ";
        text +=
            nameOf(weak[i].character, name) + " " + std::to_string(weak[i].percent()) + " percent";
    }
    return text;
}

}  // namespace keytut::progress
