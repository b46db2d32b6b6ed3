#include "timing_statistics.h"

#include <cmath>
#include <cstdio>

namespace keytut {

namespace {

constexpr int kIdeal[kTimedKinds] = {1, 3, 1, 3, 7};

// One digit after the point, as the report shows its ratio.
std::string oneDecimal(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

}  // namespace

TimingStatistics timingStatistics(const std::vector<TimedElement>& elements) {
    TimingStatistics stats;
    for (std::size_t k = 0; k < kTimedKinds; ++k) {
        stats.kinds[k].kind = static_cast<TimedKind>(k);
        stats.kinds[k].ideal = kIdeal[k];
    }
    double ticks = 0.0;
    double units = 0.0;
    for (const auto& e : elements) {
        if (e.kind == TimedKind::WordGap)
            continue;
        ticks += e.ticks;
        units += kIdeal[static_cast<std::size_t>(e.kind)];
    }
    if (ticks <= 0.0)
        return stats;
    stats.unitTicks = ticks / units;
    for (const auto& e : elements)
        stats.kinds[static_cast<std::size_t>(e.kind)].units.push_back(e.ticks / stats.unitTicks);
    for (auto& kind : stats.kinds) {
        double sum = 0.0;
        for (double u : kind.units)
            sum += u;
        kind.mean = kind.units.empty() ? 0.0 : sum / static_cast<double>(kind.units.size());
    }
    return stats;
}

std::string timedKindName(TimedKind kind) {
    switch (kind) {
        case TimedKind::Dot:
            return "Dots";
        case TimedKind::Dash:
            return "Dashes";
        case TimedKind::ElementGap:
            return "Gaps inside characters";
        case TimedKind::CharacterGap:
            return "Gaps between characters";
        case TimedKind::WordGap:
            return "Gaps between words";
    }
    return "";
}

std::vector<std::string> timingSentences(const TimingStatistics& statistics) {
    std::vector<std::string> sentences;
    for (const auto& kind : statistics.kinds) {
        if (kind.units.empty())
            continue;
        // How far off is told of the figure said, so that "1.2" is "20 percent", not 21.
        const double said = std::round(kind.mean * 10.0) / 10.0;
        std::string sentence = timedKindName(kind.kind) + " " + oneDecimal(said);
        if (sentences.empty())
            sentence += " units";
        const double off = said / kind.ideal - 1.0;
        const long percent = std::lround(std::fabs(off) * 100.0);
        const char* way = off > 0 ? "long" : "short";
        if (percent > 25)
            sentence += std::string(", too ") + way;
        else if (percent >= 10)
            sentence += ", " + std::to_string(percent) + " percent " + way;
        sentences.push_back(sentence + ".");
    }
    return sentences;
}

}  // namespace keytut
