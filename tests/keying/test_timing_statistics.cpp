// The learner's timing in units of their own dot, from key scripts whose hand is known, and the
// sentences Earkey speaks of it.
#include <gtest/gtest.h>

#include <cmath>

#include "keying/hand_keying.h"
#include "keying/timing_statistics.h"
#include "keying_rig.h"

namespace keytut::testing {
namespace {

// Plays a straight-key script through the decoder as the screen does, tick by tick.
std::vector<TimedElement> keyed(const SimKeyScript& script) {
    StraightKeyer k(Edition::Keyview);
    for (std::int64_t t = 0; t < script.endMs() + 3000; t += 5)
        k.hold(script.linesAt(t), 1);
    EXPECT_EQ(k.decoder.decodedText().substr(0, 5), "PARIS");
    return k.decoder.timedElements();
}

SimKeyScript paris(int words, const KeyingShape& shape, double jitter) {
    HandKeying how;
    how.wpm = 15;
    how.shape = shape;
    how.jitter = jitter;
    how.seed = 7;
    std::string text = "PARIS";
    for (int i = 1; i < words; ++i)
        text += " PARIS";
    return keyStraight(text, shippedCodes(), how);
}

TEST(TimingStatistics, AHandWithItsOwnHabits) {
    // Dots a fifth long, dashes a little long, character gaps a fifth short, no jitter.
    const KeyingShape shape{1.2, 3.1, 1.0, 2.4, 7.0};
    const auto stats = timingStatistics(keyed(paris(3, shape, 0.0)));
    // Three PARIS: 30 dots, 12 dashes, 27 gaps inside characters, 12 between them and 2
    // between words; their time is 129 units of 80 ms as the hand keys them, the same as a
    // perfect hand's, so the learner's dot is the 80 ms of 15 wpm (16 ticks).
    EXPECT_NEAR(stats.unitTicks, 16.0, 0.2);
    const double want[] = {1.2, 3.1, 1.0, 2.4, 7.0};
    const std::size_t counts[] = {30, 12, 27, 12, 2};
    for (std::size_t k = 0; k < kTimedKinds; ++k) {
        EXPECT_EQ(stats.kinds[k].units.size(), counts[k]) << k;
        EXPECT_NEAR(stats.kinds[k].mean, want[k], 0.04) << k;
    }
    EXPECT_EQ(timingSentences(stats),
              (std::vector<std::string>{
                  "Dots 1.2 units, 20 percent long.", "Dashes 3.1.", "Gaps inside characters 1.0.",
                  "Gaps between characters 2.4, 20 percent short.", "Gaps between words 7.0."}));
}

TEST(TimingStatistics, AnEvenHandWithKnownJitter) {
    // Every mark and space off by a normally distributed 10 % of its length.
    const auto stats = timingStatistics(keyed(paris(10, KeyingShape{}, 0.1)));
    for (const auto& kind : stats.kinds) {
        ASSERT_FALSE(kind.units.empty());
        EXPECT_NEAR(kind.mean, kind.ideal, 0.1 * kind.ideal) << timedKindName(kind.kind);
        if (kind.kind == TimedKind::WordGap)
            continue;  // nine of them only
        // The spread, relative to the length, is the jitter's (and a tick's rounding).
        double sum = 0.0;
        for (double u : kind.units)
            sum += (u - kind.mean) * (u - kind.mean);
        const double spread = std::sqrt(sum / kind.units.size()) / kind.mean;
        EXPECT_GT(spread, 0.06) << timedKindName(kind.kind);
        EXPECT_LT(spread, 0.14) << timedKindName(kind.kind);
    }
    // Nothing is far enough off to be remarked on.
    for (const auto& sentence : timingSentences(stats))
        EXPECT_EQ(sentence.find("percent"), std::string::npos) << sentence;
}

TEST(TimingStatistics, APauseIsNoGapAndAReportStartsAfresh) {
    StraightKeyer k(Edition::Earkey);
    k.character({1}, 20, 60);  // arms, then E: a dot; the key goes down again
    k.space(0);                //
    k.mark(19);                // the second dot
    k.space(2 * 100 + 300);    // a pause: the character is flushed
    k.mark(20);                // the next one
    std::vector<TimedKind> kinds;
    for (const auto& e : k.decoder.timedElements())
        kinds.push_back(e.kind);
    EXPECT_EQ(kinds,
              (std::vector<TimedKind>{TimedKind::Dot, TimedKind::CharacterGap, TimedKind::Dot}));
    k.decoder.startNewMeasurement();
    EXPECT_TRUE(k.decoder.timedElements().empty());
    EXPECT_TRUE(timingSentences(timingStatistics({})).empty());
}

TEST(TimingSentences, HowFarOffIsSaid) {
    TimingStatistics stats;
    auto set = [&](TimedKind kind, double mean) {
        auto& k = stats.kinds[static_cast<std::size_t>(kind)];
        k.kind = kind;
        k.ideal = std::array<int, 5>{1, 3, 1, 3, 7}[static_cast<std::size_t>(kind)];
        k.units = {mean};
        k.mean = mean;
    };
    set(TimedKind::Dot, 1.2);
    set(TimedKind::Dash, 3.1);
    set(TimedKind::CharacterGap, 2.2);
    EXPECT_EQ(timingSentences(stats),
              (std::vector<std::string>{"Dots 1.2 units, 20 percent long.", "Dashes 3.1.",
                                        "Gaps between characters 2.2, too short."}));
    set(TimedKind::Dot, 0.9);
    set(TimedKind::Dash, 3.74);
    set(TimedKind::ElementGap, 0.74);
    set(TimedKind::WordGap, 6.5);
    EXPECT_EQ(timingSentences(stats),
              (std::vector<std::string>{
                  "Dots 0.9 units, 10 percent short.", "Dashes 3.7, 23 percent long.",
                  "Gaps inside characters 0.7, too short.",
                  "Gaps between characters 2.2, too short.", "Gaps between words 6.5."}));
}

}  // namespace
}  // namespace keytut::testing
