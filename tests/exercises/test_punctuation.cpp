#include <gtest/gtest.h>

#include "exercise_rig.h"
#include "exercises/lesson.h"
#include "exercises/punctuation.h"

using namespace keytut;
using keytut::testing::ExerciseRig;

TEST(PunctuationButtons, OneButtonPerCharacterInOrder) {
    auto buttons = signButtons("+@!=/.,?");
    ASSERT_EQ(buttons.size(), 8u);
    std::string order;
    for (const auto& b : buttons)
        order += b.character;
    EXPECT_EQ(order, "+@!=/.,?");
    EXPECT_EQ(buttons[0].earkeyCaption, "C T Start of Message");
    EXPECT_EQ(buttons[2].earkeyCaption, "V A End of Q S O");
    EXPECT_EQ(buttons[2].keyviewCaption, "VA");
    EXPECT_EQ(buttons[2].description, "End of Transmission");
    EXPECT_EQ(buttons[7].keyviewCaption, "?");

    // A mark among letters: every character gets a button; a letter is named by itself.
    buttons = signButtons("AB.");
    ASSERT_EQ(buttons.size(), 3u);
    EXPECT_EQ(buttons[0].earkeyCaption, "A");
    EXPECT_EQ(buttons[0].keyviewCaption, "A");
    EXPECT_EQ(buttons[0].description, "");
    EXPECT_EQ(buttons[1].earkeyCaption, "B");  // not the caption of the button before it
    EXPECT_EQ(buttons[2].earkeyCaption, "Full Stop");

    EXPECT_EQ(signButtons("+@!=/.,?+@!=/").size(), 10u);
    EXPECT_EQ(findSign('A'), nullptr);
    ASSERT_NE(findSign('='), nullptr);
    EXPECT_EQ(findSign('=')->keyviewCaption, "BT");
}

TEST(PunctuationScreen, ButtonsPlayTheirSignsAndOkNamesTheLastOne) {
    ExerciseRig rig(Edition::Earkey);
    LessonState lesson;
    ASSERT_EQ(beginLesson(lesson, rig.tutor.data.lessonGroups, 11), LessonKind::Punctuation);
    PunctuationLesson screen(rig.tutor, lesson.text);

    // Before any sign: an empty message, then the first sign plays.
    EXPECT_EQ(screen.okMessage(), "");
    EXPECT_EQ(screen.afterOkMessage(), '+');
    EXPECT_EQ(rig.heard(), "+");
    EXPECT_EQ(screen.okMessage(), "+");
    EXPECT_FALSE(screen.afterOkMessage());

    EXPECT_EQ(screen.play(7), '?');
    EXPECT_EQ(screen.play(3), '=');
    rig.wave->runUntilIdle();
    EXPECT_EQ(rig.heard(), "+?=");
    EXPECT_EQ(screen.okMessage(), "=");

    // Lesson 11's group has eight signs.
    for (std::size_t index : {8u, 9u, 100u})
        EXPECT_FALSE(screen.play(index)) << index;
    EXPECT_EQ(rig.writes(), 3u);
}

TEST(PunctuationScreen, OnlyTheFirstTenCharactersAreAnswered) {
    ExerciseRig rig(Edition::Keyview);
    PunctuationLesson screen(rig.tutor, "+@!=/.,?+@!");
    EXPECT_EQ(screen.buttons().size(), 10u);
    EXPECT_EQ(screen.play(9), '@');
    EXPECT_FALSE(screen.play(10));
}
