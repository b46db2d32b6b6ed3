#include <gtest/gtest.h>

#include <map>

#include "exercise_rig.h"
#include "exercises/group_test.h"

using namespace keytut;
using keytut::testing::ExerciseRig;

TEST(GroupTestText, TwentyGroupsOfFiveEachFollowedByABlank) {
    for (std::uint64_t seed : {1u, 2u, 99u}) {
        Random random(seed);
        auto draw = drawGroupTest(random, "ETIMANS");
        ASSERT_EQ(draw.text.size(), 120u);
        std::string rebuilt;
        for (const auto& group : draw.groups) {
            ASSERT_EQ(group.size(), 5u);
            for (char c : group)
                EXPECT_NE(std::string("ETIMANS").find(c), std::string::npos);
            rebuilt += group + " ";
        }
        EXPECT_EQ(draw.text, rebuilt);
    }
    // A single character is a valid (if dull) source.
    Random random(3);
    EXPECT_EQ(drawGroupTest(random, "E").groups[19], "EEEEE");
}

TEST(GroupTestText, DrawsFromTheGroupsLearnedSoFar) {
    const std::vector<std::string> groups{"ETIM", "ANS", "ORK"};
    EXPECT_EQ(joinedGroups(groups, 1), "ETIM");
    EXPECT_EQ(joinedGroups(groups, 3), "ETIMANSORK");
    EXPECT_EQ(joinedGroups(groups, 9), "ETIMANSORK");
    EXPECT_EQ(joinedGroups(groups, 0), "");

    Random random(11);
    std::map<char, int> lessonOne, lessonTwo;
    for (int i = 0; i < 20; ++i) {
        for (char c : drawGroupTest(random, joinedGroups(groups, 1)).text)
            ++lessonOne[c];
        for (char c : drawGroupTest(random, joinedGroups(groups, 2)).text)
            ++lessonTwo[c];
    }
    lessonOne.erase(' ');
    lessonTwo.erase(' ');
    EXPECT_EQ(lessonOne.size(), 4u);  // E T I M only
    EXPECT_EQ(lessonTwo.size(), 7u);  // and A N S
    EXPECT_EQ(lessonTwo.count('O'), 0u);
}

TEST(GroupTestText, CharacterInTwoGroupsIsDrawnTwiceAsOften) {
    Random random(2024);
    std::map<char, int> counts;
    const int tests = 200;  // 20,000 draws, 2,500 expected per single character
    for (int i = 0; i < tests; ++i) {
        for (char c : drawGroupTest(random, joinedGroups({"ABCD", "AEFG"}, 2)).text)
            ++counts[c];
    }
    EXPECT_EQ(counts[' '], tests * 20);
    for (char c : std::string("BCDEFG"))
        EXPECT_NEAR(counts[c], 2500, 200) << c;
    EXPECT_NEAR(counts['A'], 5000, 250);
    double ratio = counts['A'] / ((counts['B'] + counts['C'] + counts['D']) / 3.0);
    EXPECT_NEAR(ratio, 2.0, 0.15);
}

TEST(GroupTestText, StartingFillsEarkeysListAndSendsTheText) {
    ExerciseRig rig(Edition::Earkey);
    std::string lessonText = "ETIM";
    ReviewList review;
    for (int i = 1; i <= ReviewList::kLastEntry; ++i)
        review.set(i, "OLD");
    review.show(30);
    auto text = startGroupTest(rig.tutor, lessonText, &review, rig.whenSent());
    ASSERT_TRUE(text);
    EXPECT_EQ(review.index(), 0);
    EXPECT_EQ(review[0], "");
    EXPECT_EQ(review[21], "");
    EXPECT_EQ(review[30], "");
    EXPECT_EQ(text->substr(0, 6), review[1] + " ");
    EXPECT_EQ(text->substr(114), review[20] + " ");
    rig.wave->runUntilIdle();
    EXPECT_EQ(rig.heard(), *text);

    // Nothing to draw from: nothing sent, nothing changed.
    lessonText.clear();
    std::size_t writes = rig.writes();
    EXPECT_FALSE(startGroupTest(rig.tutor, lessonText, &review, rig.whenSent()));
    EXPECT_EQ(rig.writes(), writes);
    EXPECT_EQ(review[1].size(), 5u);
}

TEST(ReviewList, SpelledForm) {
    EXPECT_EQ(spelledForm("KMRST"), " K M R S T");
    EXPECT_EQ(spelledForm("E"), " E");
    EXPECT_EQ(spelledForm(""), "");
}

TEST(ReviewList, DownAndUpStopAtBothEnds) {
    ReviewList t;
    for (int i = 1; i <= 20; ++i)
        t.set(i, "G" + std::to_string(i));

    EXPECT_FALSE(t.up());  // nothing shown yet
    EXPECT_EQ(t.down(), 1);
    EXPECT_EQ(t.down(), 2);
    EXPECT_EQ(t.up(), 1);
    EXPECT_FALSE(t.up());
    EXPECT_EQ(t.index(), 1);
    for (int i = 2; i <= 20; ++i)
        EXPECT_EQ(t.down(), i);
    EXPECT_FALSE(t.down());  // entry 21 is empty
    EXPECT_EQ(t.index(), 20);

    // A full list of thirty, at its last entry: nothing past entry 30.
    for (int i = 1; i <= 30; ++i)
        t.set(i, "W" + std::to_string(i));
    t.show(30);
    EXPECT_FALSE(t.down());
    EXPECT_EQ(t.index(), 30);
    EXPECT_EQ(t.up(), 29);

    // An index outside the list is taken as its nearest end.
    t.show(99);
    EXPECT_FALSE(t.down());
    t.show(-5);
    EXPECT_EQ(t.down(), 1);
}
