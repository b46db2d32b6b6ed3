#include <gtest/gtest.h>

#include "exercise_rig.h"
#include "exercises/lesson.h"
#include "progress/store.h"

using namespace keytut;
using keytut::testing::ExerciseRig;
using keytut::testing::Posted;

namespace {

// A lesson as a screen drives it: events in, what comes back delivered in order.
class LessonRig : public ExerciseRig {
  public:
    LessonRig(Edition edition, int lessonNumber) : ExerciseRig(edition) {
        LessonState opened;
        EXPECT_EQ(beginLesson(opened, tutor.data.lessonGroups, lessonNumber),
                  LessonKind::Character);
        lesson = std::make_unique<CharacterLesson>(
            tutor, opened,
            [this](std::function<void()> then) {
                ++dings;
                writesAtDing = writes();
                then();
            },
            whenSent());
    }
    // SPACE and Return, the character they hand back queued as the screen queues it.
    LessonUpdate space() { return queued(lesson->space()); }
    LessonUpdate returnKey() { return queued(lesson->returnKey()); }
    LessonUpdate queued(LessonUpdate update) {
        if (update.next)
            queueKey(*update.next);
        return update;
    }
    // Delivers what was queued; returns the update of the last of it.
    LessonUpdate deliver() {
        LessonUpdate last;
        for (const auto& p : takePosted()) {
            if (p.kind == Posted::KeyChar)
                last = lesson->keyChar(p.character);
            if (p.kind == Posted::TextEnd)
                last = lesson->sendDone();
        }
        return last;
    }
    // Plays everything, then delivers what was queued.
    LessonUpdate finishSound() {
        wave->runUntilIdle();
        return deliver();
    }
    std::unique_ptr<CharacterLesson> lesson;
    int dings = 0;
    std::size_t writesAtDing = 0;
};

}  // namespace

TEST(LessonEntry, GroupsCaptionsAndTitles) {
    EXPECT_TRUE(isPunctuationGroup("+@!=/.,?"));
    EXPECT_TRUE(isPunctuationGroup("AB?C"));  // one mark among letters is enough
    EXPECT_FALSE(isPunctuationGroup("ETIM"));
    EXPECT_FALSE(isPunctuationGroup("1234567890"));
    EXPECT_FALSE(isPunctuationGroup(""));

    ExerciseRig rig(Edition::Earkey);
    const auto& groups = rig.tutor.data.lessonGroups;
    ASSERT_EQ(groups.size(), 11u);
    EXPECT_EQ(lessonMenuCaption(groups, 1), "E T I M ");
    EXPECT_EQ(lessonMenuCaption(groups, 10), "Numbers");
    EXPECT_EQ(lessonMenuCaption(groups, 11), "Punctuation");
    EXPECT_EQ(lessonMenuCaption(groups, 12), "");
    EXPECT_EQ(lessonMenuCaption({"ETA"}, 1), "Punctuation");  // a single group is the last one
    EXPECT_EQ(lessonMenuCaption({"ETA", "12", "+"}, 2), "Numbers");

    const std::vector<std::string> eta{"EIS", "MNO", "ETA", "12", ".,"};
    EXPECT_EQ(lessonTitle(profileOf(Edition::Earkey), eta, 3), "Lesson 3  E T A ");
    EXPECT_EQ(lessonTitle(profileOf(Edition::Keyview), eta, 3), "Lesson 3  ETA");

    LessonState lesson;
    lesson.stage = 2;
    EXPECT_EQ(beginLesson(lesson, groups, 2), LessonKind::Character);
    EXPECT_EQ(lesson.number, 2);
    EXPECT_EQ(lesson.stage, 0);
    EXPECT_EQ(lesson.text, "ANS");
    EXPECT_EQ(beginLesson(lesson, groups, 11), LessonKind::Punctuation);
    EXPECT_EQ(lesson.text, "+@!=/.,?");
    EXPECT_EQ(beginLesson(lesson, groups, 0), LessonKind::None);
    EXPECT_EQ(beginLesson(lesson, groups, 12), LessonKind::None);
    EXPECT_EQ(lesson.number, 11);  // a lesson that does not exist changes nothing
}

TEST(EarkeyHearing, SpaceRepeatsReturnMovesOnAndWraps) {
    LessonRig rig(Edition::Earkey, 2);            // ANS
    EXPECT_EQ(rig.lesson->pollCandidates(), "");  // no keys polled while hearing

    auto update = rig.space();
    EXPECT_EQ(update.characterBox, " ");  // SPACE blanks the box first
    EXPECT_EQ(rig.heard(), "");           // the character plays when its message arrives
    update = rig.deliver();
    EXPECT_EQ(rig.heard(), "A");
    EXPECT_EQ(update.characterBox, "A");
    EXPECT_EQ(update.speak, LessonControl::CharacterBox);
    EXPECT_EQ(update.delayMs, 1000);

    for (int i = 0; i < 3; ++i) {
        update = rig.returnKey();
        EXPECT_TRUE(update.acted);
        EXPECT_FALSE(update.characterBox.has_value());  // Return never blanks the box
        rig.deliver();
    }
    EXPECT_EQ(rig.lesson->charPos(), 1);
    rig.space();
    rig.deliver();
    EXPECT_EQ(rig.heard(), "ANSAA");  // N, S, wrapped to A, and SPACE repeats A
}

TEST(EarkeyHearing, LongCharacterIsSpokenOnlyAfterItsSound) {
    LessonRig rig(Edition::Earkey, 10);  // the numbers
    rig.tutor.timing = {dotSamples(5), dotSamples(5)};
    rig.space();
    auto update = rig.deliver();
    ASSERT_EQ(rig.heard(), "1");
    // . - - - - and the gap after it: 1 + 4x3 + 4 gaps + 3 = 20 dots of 1840 samples = 4.6 s.
    EXPECT_EQ(update.delayMs, 4600);
}

TEST(EarkeyRecognition, StartsOnceAndJudgesKeys) {
    LessonRig rig(Edition::Earkey, 1);  // ETIM
    auto update = rig.lesson->nextStage();
    EXPECT_EQ(rig.lesson->stage(), 1);
    EXPECT_TRUE(update.rebuildCharacterBox);
    EXPECT_EQ(update.characterBox, "");
    EXPECT_EQ(update.instructions, std::string(kEarkeyRecognitionInstructions));
    EXPECT_EQ(update.speak, LessonControl::Instructions);
    EXPECT_EQ(rig.lesson->pollCandidates(), std::string(kPolledKeys));

    // Nothing has been sent to recognise yet: keys are not judged.
    EXPECT_FALSE(rig.lesson->keyChar('E').acted);
    EXPECT_EQ(rig.writes(), 0u);
    EXPECT_EQ(rig.dings, 0);

    update = rig.returnKey();
    EXPECT_TRUE(update.removeInstructions);
    EXPECT_EQ(update.focus, LessonControl::CharacterBox);
    ASSERT_EQ(rig.heard().size(), 1u);
    char expected = rig.heard()[0];
    EXPECT_NE(std::string("ETIM").find(expected), std::string::npos);
    EXPECT_EQ(rig.lesson->expected(), std::string(1, expected));
    EXPECT_TRUE(rig.lesson->randomStarted());
    EXPECT_FALSE(rig.returnKey().acted);  // a second Return sends nothing
    EXPECT_EQ(rig.writes(), 1u);

    // Wrong keys: the sound first, played to its end, then the same character again.
    for (char wrong : {'A', 'Z', '5'}) {
        if (wrong == expected)
            continue;
        std::size_t before = rig.writes();
        update = rig.lesson->keyChar(wrong);
        EXPECT_TRUE(update.dinged);
        EXPECT_EQ(rig.writesAtDing, before);
        EXPECT_EQ(update.characterBox, "");
        EXPECT_EQ(rig.heard(before), std::string(1, expected));
    }
    // Right keys: at once a new random character of the group, no sound of error.
    int dings = rig.dings;
    std::string sent;
    for (int i = 0; i < 40; ++i) {
        std::size_t before = rig.writes();
        update = rig.lesson->keyChar(expected);
        EXPECT_FALSE(update.dinged);
        ASSERT_EQ(rig.heard(before).size(), 1u);
        expected = rig.heard(before)[0];
        EXPECT_EQ(rig.lesson->expected(), std::string(1, expected));
        sent += expected;
    }
    EXPECT_EQ(rig.dings, dings);
    for (char c : std::string("ETIM"))
        EXPECT_NE(sent.find(c), std::string::npos) << c;

    rig.lesson->close();
    rig.wave->runUntilIdle();
    EXPECT_FALSE(rig.tutor.sender.hasMore());
}

TEST(EarkeyStages, ThirdF1LeavesOnlyEscapeAndCursorKeys) {
    LessonRig rig(Edition::Earkey, 1);
    rig.lesson->nextStage();
    rig.lesson->nextStage();
    ASSERT_TRUE(rig.returnKey().testStarted);
    rig.finishSound();
    std::size_t writes = rig.writes();

    EXPECT_TRUE(rig.lesson->nextStage().acted);
    EXPECT_EQ(rig.lesson->stage(), 3);
    EXPECT_FALSE(rig.returnKey().acted);
    EXPECT_FALSE(rig.space().acted);
    EXPECT_FALSE(rig.lesson->keyChar('E').acted);
    EXPECT_FALSE(rig.lesson->sendDone().acted);
    EXPECT_EQ(rig.lesson->pollCandidates(), "");
    rig.finishSound();
    EXPECT_EQ(rig.writes(), writes);

    auto update = rig.lesson->cursorDown();
    EXPECT_TRUE(update.acted);
    EXPECT_EQ(update.resultsBox, spelledForm(rig.lesson->review()[1]));
    rig.lesson->nextStage();
    EXPECT_EQ(rig.lesson->stage(), 4);
    EXPECT_TRUE(rig.lesson->cursorDown().acted);
    EXPECT_TRUE(rig.lesson->cursorUp().acted);
}

TEST(EarkeyGroupTest, EnteringSendingAndReadingBack) {
    LessonRig rig(Edition::Earkey, 2);

    // Recognition never started: the label was never removed, so it is not made again.
    EXPECT_FALSE(rig.lesson->cursorDown().acted);  // no results box yet
    rig.lesson->nextStage();
    auto update = rig.lesson->nextStage();
    EXPECT_TRUE(update.createResultsBox);
    EXPECT_FALSE(update.recreateInstructions);
    EXPECT_EQ(update.instructions, std::string(kEarkeyGroupTestInstructions));
    EXPECT_EQ(update.speak, LessonControl::Instructions);
    EXPECT_EQ(rig.lesson->state().text, "ETIMANS");
    // Before a test of this screen there is nothing to read back.
    EXPECT_FALSE(rig.lesson->cursorDown().acted);
    EXPECT_FALSE(rig.lesson->cursorUp().acted);
    EXPECT_EQ(rig.lesson->review().index(), 0);

    update = rig.returnKey();
    ASSERT_TRUE(update.testStarted);
    EXPECT_EQ(update.resultsBox, "");
    EXPECT_EQ(rig.lesson->review().index(), 0);
    EXPECT_TRUE(rig.lesson->review()[0].empty());
    for (int i = 21; i <= 30; ++i)
        EXPECT_TRUE(rig.lesson->review()[i].empty()) << i;
    std::string expectedText;
    for (int i = 1; i <= 20; ++i)
        expectedText += rig.lesson->review()[i] + " ";
    EXPECT_EQ(rig.tutor.sender.text(), expectedText);

    // The list is there while the test is still being sent.
    rig.wave->runUntilIdle(10);
    EXPECT_FALSE(rig.deliver().acted);
    update = rig.lesson->cursorDown();
    EXPECT_EQ(update.resultsBox, spelledForm(rig.lesson->review()[1]));
    EXPECT_EQ(update.speak, LessonControl::ResultsBox);

    update = rig.finishSound();
    EXPECT_TRUE(update.acted);
    EXPECT_EQ(update.instructions, std::string(kEarkeyGroupTestFinished));
    EXPECT_EQ(update.speak, LessonControl::Instructions);
    EXPECT_EQ(rig.heard(), expectedText);

    EXPECT_EQ(rig.lesson->cursorDown().resultsBox, spelledForm(rig.lesson->review()[2]));
    EXPECT_EQ(rig.lesson->cursorUp().resultsBox, spelledForm(rig.lesson->review()[1]));
    EXPECT_FALSE(rig.lesson->cursorUp().acted);
    EXPECT_EQ(rig.lesson->review().index(), 1);
    for (int i = 0; i < 25; ++i)
        rig.lesson->cursorDown();
    EXPECT_EQ(rig.lesson->review().index(), 20);
    EXPECT_FALSE(rig.lesson->cursorDown().acted);

    // Going again: the box is cleared and a new list drawn.
    auto old = rig.lesson->review();
    update = rig.returnKey();
    EXPECT_EQ(update.resultsBox, "");
    EXPECT_EQ(rig.lesson->review().index(), 0);
    EXPECT_NE(rig.lesson->review(), old);
}

TEST(EarkeyGroupTest, RecognitionLabelIsMadeAgainAfterItWasRemoved) {
    LessonRig rig(Edition::Earkey, 1);
    rig.lesson->nextStage();
    rig.returnKey();
    EXPECT_TRUE(rig.lesson->nextStage().recreateInstructions);
}

TEST(GroupTestSending, OnlyTheEndOfTheCurrentTestIsAResult) {
    LessonRig rig(Edition::Earkey, 3);
    rig.lesson->nextStage();
    rig.returnKey();          // a recognition character starts playing...
    rig.lesson->nextStage();  // ...and its end arrives in the test stage
    EXPECT_FALSE(rig.finishSound().acted);

    rig.returnKey();
    rig.wave->runUntilIdle(30);
    std::size_t restartAt = rig.writes();
    rig.returnKey();  // a new test while the first is still being sent
    const std::string second = rig.tutor.sender.text();
    rig.wave->runUntilIdle();
    auto posted = rig.takePosted();
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].kind, Posted::TextEnd);
    EXPECT_EQ(rig.heard(restartAt), second);  // the new test from its start, nothing of the old
    EXPECT_TRUE(rig.lesson->sendDone().acted);
    EXPECT_FALSE(rig.lesson->sendDone().acted);  // a second notice is not a second result
}

TEST(GroupTestSending, EndOfATestReplacedBeforeItsNoticeArrivedIsNotAResult) {
    LessonRig rig(Edition::Keyview, 1);
    rig.lesson->nextStage();
    rig.lesson->nextStage();
    rig.returnKey();
    rig.wave->runUntilIdle();  // the first test ends; its notice is on its way...
    rig.returnKey();           // ...when Start begins the next one
    EXPECT_FALSE(rig.deliver().acted);
    EXPECT_TRUE(rig.lesson->testSending());
    auto update = rig.finishSound();
    EXPECT_TRUE(update.acted);
    EXPECT_EQ(update.resultsBox, rig.tutor.sender.text());
}

TEST(KeyviewLesson, AllThreeStages) {
    LessonRig rig(Edition::Keyview, 2);  // ANS
    EXPECT_EQ(rig.lesson->pollCandidates(), "ANS");
    EXPECT_FALSE(rig.space().acted);
    EXPECT_EQ(rig.returnKey().focus, LessonControl::KeyCapture);
    EXPECT_EQ(rig.writes(), 0u);  // Start in the hearing stage plays nothing

    auto update = rig.lesson->keyChar('N');
    EXPECT_EQ(update.characterBox, "N");
    EXPECT_EQ(update.keyCaptureBox, "");
    EXPECT_EQ(update.speak, LessonControl::None);
    EXPECT_EQ(rig.heard(), "N");

    update = rig.lesson->nextStage();
    EXPECT_TRUE(update.addStartButton);
    EXPECT_EQ(update.instructions, std::string(kKeyviewRecognitionInstructions));
    EXPECT_EQ(update.characterBox, "");
    EXPECT_EQ(rig.lesson->pollCandidates(), std::string(kPolledKeys));
    EXPECT_FALSE(rig.lesson->keyChar('N').acted);  // nothing sent yet

    // Every Start sends a new character.
    for (int i = 0; i < 3; ++i) {
        std::size_t before = rig.writes();
        EXPECT_EQ(rig.returnKey().focus, LessonControl::KeyCapture);
        EXPECT_EQ(rig.heard(before), rig.lesson->expected());
    }
    const std::string expected = rig.lesson->expected();
    const char wrong = expected == "A" ? 'S' : 'A';
    std::size_t before = rig.writes();
    update = rig.lesson->keyChar(wrong);
    EXPECT_EQ(rig.dings, 1);
    EXPECT_EQ(rig.writesAtDing, before);
    EXPECT_FALSE(update.characterBox.has_value());  // the expected character is not shown
    EXPECT_EQ(update.keyCaptureBox, expected);
    EXPECT_EQ(rig.heard(before), expected);
    update = rig.lesson->keyChar(expected[0]);
    EXPECT_EQ(update.characterBox, expected);
    EXPECT_EQ(update.keyCaptureBox, "");
    EXPECT_EQ(rig.dings, 1);

    update = rig.lesson->nextStage();
    EXPECT_TRUE(update.removeRecognitionControls);
    EXPECT_TRUE(update.createResultsBox);
    EXPECT_EQ(update.focus, LessonControl::StartButton);
    EXPECT_EQ(rig.lesson->state().text, "ETIMANS");
    EXPECT_FALSE(rig.lesson->nextStage().acted);  // Next is gone
    EXPECT_EQ(rig.lesson->stage(), 2);
    EXPECT_EQ(rig.lesson->pollCandidates(), "");

    const auto listBefore = rig.lesson->review();
    update = rig.returnKey();
    EXPECT_EQ(update.focus, LessonControl::ResultsBox);
    EXPECT_EQ(rig.lesson->review(), listBefore);  // Keyview keeps no review list
    const std::string text = rig.tutor.sender.text();
    EXPECT_EQ(text.size(), 120u);
    update = rig.finishSound();
    EXPECT_EQ(update.resultsBox, text);
    EXPECT_EQ(update.instructions, std::string(kKeyviewGroupTestFinished));
    EXPECT_FALSE(rig.lesson->cursorDown().acted);
}

// Each key judged in the recognition stage is kept, with the time from the end of the
// character's sound; the stage is one session, ended by the next stage or by Escape.
class RecognitionKept : public ::testing::TestWithParam<Edition> {};

TEST_P(RecognitionKept, EachJudgedKeyIsKeptWithItsResponseTime) {
    LessonRig rig(GetParam(), 1);  // ETIM
    progress::Store store{progress::Store::InMemory{}};
    auto nowMs = [&rig] { return static_cast<std::int64_t>(rig.wave->now() / 8); };
    auto soundEnds = [&] {
        return nowMs() + static_cast<std::int64_t>((rig.tutor.sender.sampleCount() + 7) / 8);
    };
    rig.lesson->keepAnswers(&store, nowMs);
    rig.lesson->nextStage();
    rig.lesson->keyChar('E');  // nothing sent yet: not judged, not kept
    rig.lesson->returnKey();
    const char first = rig.lesson->expected()[0];
    const std::int64_t firstEnds = soundEnds();
    rig.wave->runUntilIdle();
    rig.wave->advance(8 * 650);  // the learner thinks for 650 ms
    const std::int64_t wrongAt = nowMs();
    const char wrong = first == 'T' ? 'M' : 'T';
    rig.lesson->keyChar(wrong);  // wrong: the same character again
    rig.wave->advance(8 * 20);   // and answered while it still sounds
    rig.lesson->keyChar(first);
    const char second = rig.lesson->expected()[0];
    const std::int64_t secondEnds = soundEnds();
    rig.wave->runUntilIdle();
    rig.wave->advance(8 * 1200);
    const std::int64_t secondAt = nowMs();
    rig.lesson->keyChar(second);
    rig.lesson->nextStage();  // the group test: the recognition session ends

    std::vector<progress::AnswerRow> kept;
    store.forEachAnswer([&](const progress::AnswerRow& row) { kept.push_back(row); });
    ASSERT_EQ(kept.size(), 3u);
    EXPECT_EQ(kept[0].exercise, "lesson");
    EXPECT_EQ(kept[0].edition, GetParam() == Edition::Earkey ? "earkey" : "keyview");
    EXPECT_EQ(kept[0].answer.sent, first);
    EXPECT_EQ(kept[0].answer.answered, wrong);
    EXPECT_FALSE(kept[0].answer.right);
    EXPECT_EQ(kept[0].answer.responseMs, wrongAt - firstEnds);
    EXPECT_NEAR(*kept[0].answer.responseMs, 650, 1);
    EXPECT_EQ(kept[0].answer.timeMs, wrongAt);
    EXPECT_EQ(kept[1].answer.sent, first);
    EXPECT_TRUE(kept[1].answer.right);
    EXPECT_EQ(kept[1].answer.responseMs, 0);
    EXPECT_EQ(kept[2].answer.sent, second);
    EXPECT_TRUE(kept[2].answer.right);
    EXPECT_EQ(kept[2].answer.responseMs, secondAt - secondEnds);
    EXPECT_EQ(kept[2].answer.charWpm, 12);
    const auto session = store.lastSession("lesson");
    ASSERT_TRUE(session);
    EXPECT_EQ(session->answers, 3);
    EXPECT_EQ(session->right, 2);
    EXPECT_EQ(session->endedMs, nowMs());
    EXPECT_FALSE(rig.lesson->takeFaultNotice());
}

INSTANTIATE_TEST_SUITE_P(BothEditions, RecognitionKept, kBothEditions, editionName);
