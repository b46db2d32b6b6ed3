#include <gtest/gtest.h>

#include "progress/statistics.h"

using namespace keytut::progress;

namespace {

CharacterStats stats(char c, int answers, int recentAnswers, int recentRight,
                     std::optional<double> responseMs = {}) {
    CharacterStats s;
    s.character = c;
    s.answers = answers;
    s.recentAnswers = recentAnswers;
    s.recentRight = recentRight;
    s.responseMs = responseMs;
    return s;
}

}  // namespace

TEST(ProgressTexts, CharacterLinesAndSummaryInTheirOwnWords) {
    EXPECT_EQ(characterLine(stats('Q', 88, 44, 27, 1420)),
              "Q: 61 percent of 88 answers, 1.4 seconds");
    EXPECT_EQ(characterLine(stats('E', 1, 1, 1, 950)), "E: 100 percent of 1 answer, 1.0 seconds");
    EXPECT_EQ(characterLine(stats('M', 3, 3, 2)), "M: 67 percent of 3 answers");
    EXPECT_EQ(characterLine(stats('K', 0, 0, 0)), "K: no answers yet");

    const std::vector<CharacterStats> all{
        stats('K', 200, 50, 48), stats('P', 120, 50, 37), stats('Q', 88, 44, 27),
        stats('Y', 90, 50, 35),  stats('U', 0, 0, 0),
    };
    EXPECT_EQ(summaryText(12, 41, 92, all),
              "Level 12 of 41. Last session 92 percent. Weakest: Q 61 percent, Y 70 percent, P "
              "74 percent");
    EXPECT_EQ(summaryText(2, 41, std::nullopt, {}), "Level 2 of 41. No session yet");
    EXPECT_EQ(summaryText(3, 44, 100, {stats('E', 5, 5, 5)}),
              "Level 3 of 44. Last session 100 percent. Weakest: E 100 percent");
}

TEST(ProgressTexts, AccuracyIsOverTheLastFiftyAnswersAndWeakestByExactShare) {
    // 60 answers: the first ten wrong, the last fifty right.
    std::vector<bool> results(60, true);
    std::fill(results.begin(), results.begin() + 10, false);
    auto q = statsOf('Q', 60, results, {1000, 2000});
    EXPECT_EQ(q.recentAnswers, 50);
    EXPECT_EQ(q.recentRight, 50);
    EXPECT_EQ(q.percent(), 100);
    EXPECT_DOUBLE_EQ(*q.responseMs, 1500);
    EXPECT_FALSE(statsOf('Q', 0, {}, {}).responseMs);

    EXPECT_EQ(wholePercent(1, 8), 13);  // 12.5 goes up
    EXPECT_EQ(wholePercent(0, 0), 0);
    // 97 of 160 (60.6 %) and 43 of 70 (61.4 %) both say 61 percent; the lower is weaker.
    const auto weak = weakest({stats('A', 70, 70, 43), stats('B', 160, 160, 97),
                               stats('C', 0, 0, 0), stats('D', 10, 10, 9)},
                              3);
    ASSERT_EQ(weak.size(), 3u);
    EXPECT_EQ(weak[0].character, 'B');
    EXPECT_EQ(weak[1].character, 'A');
    EXPECT_EQ(weak[2].character, 'D');  // C has no answers and is not among them
}
