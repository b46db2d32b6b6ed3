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
    rig.tutor.lessonText = "ETIM";
    for (auto& entry : rig.tutor.reviewList)
        entry = "OLD";
    rig.tutor.reviewIndex = 30;
    auto text = startGroupTest(rig.tutor);
    ASSERT_TRUE(text);
    EXPECT_EQ(rig.tutor.reviewIndex, 0);
    EXPECT_EQ(rig.tutor.reviewList[0], "");
    EXPECT_EQ(rig.tutor.reviewList[21], "");
    EXPECT_EQ(rig.tutor.reviewList[30], "");
    EXPECT_EQ(text->substr(0, 6), rig.tutor.reviewList[1] + " ");
    EXPECT_EQ(text->substr(114), rig.tutor.reviewList[20] + " ");
    rig.wave->runUntilIdle();
    EXPECT_EQ(rig.heard(), *text);

    // Nothing to draw from: nothing sent, nothing changed.
    rig.tutor.lessonText.clear();
    std::size_t writes = rig.writes();
    EXPECT_FALSE(startGroupTest(rig.tutor));
    EXPECT_EQ(rig.writes(), writes);
    EXPECT_EQ(rig.tutor.reviewList[1].size(), 5u);
}

TEST(ReviewList, SpelledForm) {
    EXPECT_EQ(spelledForm("KMRST"), " K M R S T");
    EXPECT_EQ(spelledForm("E"), " E");
    EXPECT_EQ(spelledForm(""), "");
}

TEST(ReviewList, DownAndUpStopAtBothEnds) {
    ExerciseRig rig(Edition::Earkey);
    auto& t = rig.tutor;
    for (int i = 1; i <= 20; ++i)
        t.reviewList[i] = "G" + std::to_string(i);

    EXPECT_FALSE(reviewUp(t));  // nothing shown yet
    EXPECT_EQ(reviewDown(t), 1);
    EXPECT_EQ(reviewDown(t), 2);
    EXPECT_EQ(reviewUp(t), 1);
    EXPECT_FALSE(reviewUp(t));
    EXPECT_EQ(t.reviewIndex, 1);
    for (int i = 2; i <= 20; ++i)
        EXPECT_EQ(reviewDown(t), i);
    EXPECT_FALSE(reviewDown(t));  // entry 21 is empty
    EXPECT_EQ(t.reviewIndex, 20);

    // A full list of thirty left by another test, at its last entry: nothing past entry 30.
    for (int i = 1; i <= 30; ++i)
        t.reviewList[i] = "W" + std::to_string(i);
    t.reviewIndex = 30;
    EXPECT_FALSE(reviewDown(t));
    EXPECT_EQ(t.reviewIndex, 30);
    EXPECT_EQ(reviewUp(t), 29);

    // An index outside the list is taken as its nearest end.
    t.reviewIndex = 99;
    EXPECT_FALSE(reviewDown(t));
    t.reviewIndex = -5;
    EXPECT_EQ(reviewDown(t), 1);
}
