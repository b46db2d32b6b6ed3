// Earkey's lesson screen driven as a learner does: keys, the poller's posted messages and the
// sender's end, with what the screen reader would say at each focus change.
#include <QElapsedTimer>
#include <QLabel>
#include <QTimer>
#include <QWindow>

#include "earkey/practice_layouts.h"
#include "earkey_rig.h"
#include "exercises/lesson.h"
#include "platform/ui/edition_screens.h"

namespace earkey::testing {
namespace {

using namespace earkey::lesson;

std::string lf(std::string_view text) {
    std::string result(text);
    for (std::size_t at; (at = result.find("\r\n")) != std::string::npos;)
        result.replace(at, 2, "\n");
    return result;
}

struct LessonFixture : ::testing::Test {
    void open(int n) {
        ASSERT_EQ(rig.begin(n), LessonKind::Character);
        screen = std::make_unique<Practice::Lesson>(rig.app, rig.opened);
        rig.screen = screen.get();
        ASSERT_TRUE(showActive(*screen));
        settle();
    }
    QWidget* focused() const { return QApplication::focusWidget(); }
    void key(Qt::Key k) {
        QTest::keyClick(focused(), k);
        settle();
    }
    // The ids Tab visits from the focused control, `count` steps.
    std::vector<int> tabs(int count) {
        std::vector<int> ids;
        for (int i = 0; i < count; ++i) {
            QTest::keyClick(focused(), Qt::Key_Tab);
            ids.push_back(screen->focusedId());
        }
        return ids;
    }

    EarkeyRig rig;
    std::unique_ptr<Practice::Lesson> screen;
};

TEST_F(LessonFixture, OpensWithTheInstructionsFocusedAndTheControlsOfTheTable) {
    open(1);
    EXPECT_EQ(screen->windowTitle().toStdString(), "Lesson 1  E T I M ");
    EXPECT_EQ(screen->size(), screen->toPixels(0, 0, 300, 220).size());
    EXPECT_TRUE(screen->font().fixedPitch() || QFontInfo(screen->font()).fixedPitch());
    EXPECT_TRUE(screen->windowFlags() & Qt::WindowTitleHint);
    EXPECT_FALSE(screen->windowFlags() & Qt::WindowSystemMenuHint);
    EXPECT_EQ(screen->controlIds(), (std::vector<int>{kCharacterBox, kInstructions}));
    EXPECT_EQ(screen->text(kCharacterBox), "");
    auto* boxLabel = screen->control(kCharacterBox)->findChild<QLabel*>();
    ASSERT_NE(boxLabel, nullptr);
    const QPalette box = boxLabel->palette();
    EXPECT_EQ(box.color(QPalette::WindowText), QColor(Qt::black));
    EXPECT_EQ(box.color(QPalette::Window), QColor(Qt::white));
    ASSERT_FALSE(rig.focus.empty());
    EXPECT_EQ(rig.focus.back().id, kInstructions);
    EXPECT_EQ(rig.focus.back().name, lf(kEarkeyHearingInstructions));
    EXPECT_EQ(tabs(3), (std::vector<int>{kCharacterBox, kInstructions, kCharacterBox}));
}

TEST_F(LessonFixture, HearingStageSpeaksEachCharacterAfterItsSound) {
    open(1);
    std::size_t mark = rig.focus.size();
    QElapsedTimer clock;
    clock.start();
    QTest::keyClick(focused(), Qt::Key_Space);
    // SPACE blanks the box at once; the character follows from the posted message.
    EXPECT_EQ(screen->text(kCharacterBox), " ");
    EXPECT_EQ(rig.writes(), 0u);
    settle();
    EXPECT_GE(clock.elapsed(), 950);
    EXPECT_EQ(rig.heard(), "E");
    ASSERT_EQ(rig.namesOn(kCharacterBox, mark), (std::vector<std::string>{"E"}));
    // The sound had been started when the name was read out.
    EXPECT_EQ(rig.focus.back().soundsWritten, 1u);

    // Return moves on without blanking; SPACE repeats the same character, spoken again.
    QTest::keyClick(focused(), Qt::Key_Return);
    EXPECT_EQ(screen->text(kCharacterBox), "E");
    settle();
    key(Qt::Key_Space);
    key(Qt::Key_Return);
    key(Qt::Key_Return);
    key(Qt::Key_Return);  // after the last character comes the first
    EXPECT_EQ(rig.heard(), "ETTIME");
    EXPECT_EQ(rig.namesOn(kCharacterBox, mark),
              (std::vector<std::string>{"E", "T", "T", "I", "M", "E"}));
    // Every name arrived on another object than the one before it, so each is spoken.
    for (std::size_t i = mark + 1; i < rig.focus.size(); ++i)
        EXPECT_NE(rig.focus[i].widget, rig.focus[i - 1].widget);
    // Keys in this stage are not polled.
    pressKey(rig, focused(), Qt::Key_E);
    EXPECT_EQ(rig.heard(), "ETTIME");
}

TEST_F(LessonFixture, KeysTypedDuringThePauseAreHandledAfterItInOrder) {
    open(1);
    const std::size_t mark = rig.focus.size();
    // Three keys queued at once: SPACE's character is spoken before Return's starts.
    QWidget* target = focused();
    for (Qt::Key k : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Return}) {
        QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, k, Qt::NoModifier));
        QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyRelease, k, Qt::NoModifier));
    }
    for (int i = 0; i < 6 && rig.writes() < 3; ++i)
        settle();
    settle();
    EXPECT_EQ(rig.heard(), "ETI");
    EXPECT_EQ(rig.namesOn(kCharacterBox, mark), (std::vector<std::string>{"E", "T", "I"}));
}

// Keys pressed during the second after a character are held until it is over; Escape is not:
// it ends the pause and the lesson at once, and the keys pressed before it are never played.
TEST_F(LessonFixture, EscapeLeavesAtOnceHoweverManyKeysWerePressedBefore) {
    open(1);
    QWindow* window = screen->windowHandle();
    ASSERT_NE(window, nullptr);
    auto press = [window](Qt::Key k) {
        // As the window system delivers a key: to the window, which hands it to the focus.
        QKeyEvent down(QEvent::KeyPress, k, Qt::NoModifier);
        QKeyEvent up(QEvent::KeyRelease, k, Qt::NoModifier);
        QCoreApplication::sendEvent(window, &down);
        QCoreApplication::sendEvent(window, &up);
    };
    // During the pause after the first E: SPACE twice, held, then played after it in order.
    int presses = 0;
    QTimer during;
    QObject::connect(&during, &QTimer::timeout, [&] {
        if (presses++ < 2)
            press(Qt::Key_Space);
    });
    during.start(100);
    key(Qt::Key_Space);
    during.stop();
    for (int i = 0; i < 4 && rig.writes() < 3; ++i)
        settle();
    EXPECT_EQ(rig.heard(), "EEE");

    // Twenty SPACEs, then Escape, all during one pause.
    QElapsedTimer clock;
    qint64 escapedAt = -1;
    presses = 0;
    QTimer again;
    QObject::connect(&again, &QTimer::timeout, [&] {
        if (presses++ < 20) {
            press(Qt::Key_Space);
            return;
        }
        again.stop();
        escapedAt = clock.elapsed();
        press(Qt::Key_Escape);
    });
    again.start(20);
    clock.start();
    key(Qt::Key_Space);
    const qint64 endedAt = clock.elapsed();
    for (int i = 0; i < 3; ++i)
        settle();
    EXPECT_TRUE(screen->ended());
    ASSERT_GE(escapedAt, 0);
    // The pause of a second ended with the Escape, not at its end.
    EXPECT_LT(endedAt - escapedAt, 300) << endedAt << " " << escapedAt;
    EXPECT_EQ(rig.heard(), "EEEE");  // nothing of the twenty
}

TEST_F(LessonFixture, RecognitionJudgesKeysRightAndWrong) {
    open(1);
    std::size_t mark = rig.focus.size();
    key(Qt::Key_F1);
    EXPECT_EQ(screen->lesson().stage(), 1);
    // The character box came back last in tab order; the new instructions were spoken.
    EXPECT_EQ(screen->controlIds(), (std::vector<int>{kInstructions, kCharacterBox}));
    EXPECT_EQ(rig.namesOn(kInstructions, mark).back(), lf(kEarkeyRecognitionInstructions));
    EXPECT_EQ(rig.focus.back().id, kInstructions);
    EXPECT_EQ(rig.focus.back().name, lf(kEarkeyRecognitionInstructions));

    // A key before the first character is ignored.
    pressKey(rig, focused(), Qt::Key_E);
    EXPECT_EQ(rig.writes(), 0u);

    key(Qt::Key_Return);
    EXPECT_EQ(screen->controlIds(), (std::vector<int>{kCharacterBox}));
    EXPECT_EQ(screen->focusedId(), kCharacterBox);
    ASSERT_EQ(rig.writes(), 1u);
    const char first = screen->lesson().expected().at(0);
    EXPECT_EQ(rig.heard(), std::string(1, first));
    key(Qt::Key_Return);  // once started, Return sends nothing
    EXPECT_EQ(rig.writes(), 1u);

    // Right: the next random character at once, no ding.
    pressKey(rig, focused(), static_cast<Qt::Key>(first));
    ASSERT_EQ(rig.writes(), 2u);
    const char second = screen->lesson().expected().at(0);
    EXPECT_EQ(rig.heard(1), std::string(1, second));
    rig.noteWrites();
    EXPECT_EQ(std::count(rig.order.begin(), rig.order.end(), "ding"), 0);

    // Wrong: the ding to its end, then the same character again.
    const char wrong = second == 'M' ? 'E' : 'M';
    pressKey(rig, focused(), static_cast<Qt::Key>(wrong));
    rig.noteWrites();
    ASSERT_EQ(rig.writes(), 3u);
    EXPECT_EQ(rig.heard(2), std::string(1, second));
    ASSERT_GE(rig.order.size(), 2u);
    EXPECT_EQ(rig.order[rig.order.size() - 2], "ding");
    EXPECT_EQ(rig.order.back(), std::string(1, second));
    EXPECT_EQ(screen->text(kCharacterBox), "");

    // A held key is reported once; a key outside the letters and digits not at all.
    QTest::keyPress(focused(), static_cast<Qt::Key>(second));
    QTest::qWait(250);
    settle();
    QTest::keyRelease(focused(), static_cast<Qt::Key>(second));
    settle();
    EXPECT_EQ(rig.writes(), 4u);
    pressKey(rig, focused(), Qt::Key_Comma);
    EXPECT_EQ(rig.writes(), 4u);
}

TEST_F(LessonFixture, ThreeF1LeaveOnlyEscapeAndTheCursorKeys) {
    open(2);
    key(Qt::Key_F1);
    key(Qt::Key_F1);
    key(Qt::Key_F1);
    EXPECT_EQ(screen->lesson().stage(), 3);
    const std::size_t focusMark = rig.focus.size();
    for (Qt::Key k : {Qt::Key_Return, Qt::Key_Space, Qt::Key_Down, Qt::Key_Up})
        key(k);
    pressKey(rig, focused(), Qt::Key_A);
    EXPECT_EQ(rig.writes(), 0u);
    EXPECT_EQ(rig.focus.size(), focusMark);
    key(Qt::Key_Escape);
    EXPECT_TRUE(screen->ended());
    EXPECT_FALSE(screen->isVisible());
}

TEST_F(LessonFixture, GroupTestSendsTwentyGroupsAndReadsThemBackSpelled) {
    open(2);
    key(Qt::Key_F1);
    key(Qt::Key_Return);  // recognition started: the instructions went
    std::size_t mark = rig.focus.size();
    key(Qt::Key_F1);
    // The label came back after the character box, the results box after it.
    EXPECT_EQ(screen->controlIds(), (std::vector<int>{kCharacterBox, kInstructions, kResultsBox}));
    EXPECT_EQ(rig.namesOn(kInstructions, mark),
              (std::vector<std::string>{lf(kEarkeyGroupTestInstructions)}));
    EXPECT_EQ(rig.focus.back().id, kInstructions);
    EXPECT_EQ(screen->lesson().state().text, "ETIMANS");

    // Cursor keys before a test has been sent do nothing.
    mark = rig.focus.size();
    key(Qt::Key_Down);
    EXPECT_EQ(rig.focus.size(), mark);

    const std::size_t before = rig.writes();
    key(Qt::Key_Return);
    const std::string sent = rig.tutor.sender.text();
    ASSERT_EQ(sent.size(), 120u);
    for (std::size_t i = 0; i < sent.size(); ++i) {
        if (i % 6 == 5)
            EXPECT_EQ(sent[i], ' ');
        else
            EXPECT_NE(std::string("ETIMANS").find(sent[i]), std::string::npos) << sent;
    }
    rig.wave->runUntilIdle();
    settle();
    // Every character was played (a word space between groups), then the end was announced.
    std::string played = rig.heard(before);
    EXPECT_EQ(played.substr(0, 5), sent.substr(0, 5));
    EXPECT_EQ(rig.focus.back().id, kInstructions);
    EXPECT_EQ(rig.focus.back().name, lf(kEarkeyGroupTestFinished));

    mark = rig.focus.size();
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    key(Qt::Key_Up);
    key(Qt::Key_Up);  // at group 1: nothing
    auto spelled = [&](int group) {
        std::string s;
        for (char c : sent.substr(static_cast<std::size_t>(group - 1) * 6, 5)) {
            s += ' ';
            s += c;
        }
        return s;
    };
    EXPECT_EQ(rig.namesOn(kResultsBox, mark),
              (std::vector<std::string>{spelled(1), spelled(2), spelled(1)}));
    EXPECT_EQ(screen->text(kResultsBox), spelled(1));
    for (int i = 0; i < 25; ++i)
        key(Qt::Key_Down);
    EXPECT_EQ(screen->text(kResultsBox), spelled(20));
    EXPECT_EQ(rig.namesOn(kResultsBox, mark).size(), 3u + 19u);

    // Another test clears the box and the list.
    key(Qt::Key_Return);
    EXPECT_EQ(screen->text(kResultsBox), "");
    EXPECT_NE(rig.tutor.sender.text(), sent);
}

TEST_F(LessonFixture, GroupTestWithoutRecognitionSpeaksTheInstructionsToo) {
    open(1);
    key(Qt::Key_F1);
    const std::size_t mark = rig.focus.size();
    key(Qt::Key_F1);
    EXPECT_EQ(screen->controlIds(), (std::vector<int>{kInstructions, kCharacterBox, kResultsBox}));
    EXPECT_EQ(rig.namesOn(kInstructions, mark),
              (std::vector<std::string>{lf(kEarkeyGroupTestInstructions)}));
    EXPECT_EQ(screen->focusedId(), kInstructions);
}

TEST_F(LessonFixture, EscapeWhileSendingStopsAfterTheCurrentCharacter) {
    open(1);
    key(Qt::Key_F1);
    key(Qt::Key_F1);
    key(Qt::Key_Return);
    rig.wave->advance(1);
    const std::size_t written = rig.writes();
    key(Qt::Key_Escape);
    EXPECT_TRUE(screen->ended());
    rig.wave->runUntilIdle();
    settle();
    EXPECT_EQ(rig.writes(), written);
    EXPECT_FALSE(rig.tutor.sender.hasMore());
}

TEST(LessonEntry, RunsModallyAndReturnsOnEscape) {
    EarkeyRig rig;
    bool sawScreen = false;
    int number = 0;
    std::function<void()> lateEnd;
    QTimer::singleShot(300, [&] {
        auto* screen = qobject_cast<keytut::ui::LessonScreen*>(QApplication::activeModalWidget());
        sawScreen = screen != nullptr;
        if (screen) {
            number = screen->lesson().state().number;
            lateEnd = screen->whenSent();
        }
        if (screen)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    });
    keytut::ui::editionOpeners(rig.app).lesson(3);
    EXPECT_TRUE(sawScreen);
    EXPECT_EQ(number, 3);
    // The end of a text reported to the closed screen goes nowhere.
    ASSERT_TRUE(lateEnd);
    lateEnd();
    settle();
    keytut::ui::editionOpeners(rig.app).lesson(99);  // no such group: nothing opens
    EXPECT_EQ(number, 3);
}

}  // namespace
}  // namespace earkey::testing
