// Keyview's lesson window through its buttons, the key poller, posted messages and the
// virtual-clock sender: the controls of each stage, hearing, recognition, the group test and
// leaving while a test is sent.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "core/messages.h"
#include "keyview/practice_layouts.h"
#include "keyview_rig.h"
#include "platform/ui/blocking_wait.h"
#include "platform/ui/edition_screens.h"

namespace keyview {
namespace {

using namespace keyview::lesson;
using keytut::ui::Screen;
using keytut::ui::testing::press;
using testing::KeyviewRig;
using testing::settle;
using testing::showActive;
using testing::spin;
using testing::waitFor;

void expectBlackOnWhite(const Screen& screen, int id) {
    const QPalette p = screen.control(id)->palette();
    EXPECT_EQ(p.color(QPalette::WindowText), QColor(Qt::black)) << id;
    EXPECT_EQ(p.color(QPalette::Window), QColor(Qt::white)) << id;
    EXPECT_TRUE(screen.control(id)->autoFillBackground()) << id;
}

// Instructions as the label shows them: one line end per CR LF.
std::string shown(std::string_view text) {
    std::string result(text);
    for (std::size_t at; (at = result.find("\r\n")) != std::string::npos;)
        result.replace(at, 2, "\n");
    return result;
}

void pressKey(QWidget* target, Qt::Key key) {
    QTest::keyPress(target, key);
    QTest::keyRelease(target, key);
}

// A letter or digit typed as a learner does: held until the poller, which only reports keys
// that are down when it looks, has seen it.
void typeKey(KeyviewRig& rig, QWidget* target, Qt::Key key) {
    keytut::ui::testing::holdForPoller(target, key, rig.app().keys);
}

TEST(KeyviewLessonScreen, ControlsOfEachStage) {
    KeyviewRig rig;
    ASSERT_EQ(rig.begin(3), keytut::LessonKind::Character);
    Practice::Lesson screen(rig.app(), rig.opened);

    // The window: title, size, font, owner, a caption bar without a close box.
    EXPECT_EQ(screen.windowTitle().toStdString(), "Lesson 3  ORK");
    EXPECT_EQ(screen.size(), screen.toPixels(0, 0, 300, 220).size());
    EXPECT_EQ(screen.font(), keytut::ui::dialogFont(keytut::ui::DialogFont::Courier8));
    EXPECT_EQ(screen.parentWidget(), &rig.owner);
    EXPECT_TRUE(screen.windowFlags() & Qt::WindowTitleHint);
    EXPECT_FALSE(screen.windowFlags() & Qt::WindowSystemMenuHint);
    EXPECT_FALSE(screen.windowFlags() & Qt::WindowCloseButtonHint);

    // Stage 0 (where each control stands is the layout table's).
    EXPECT_EQ(screen.text(kInstructions), "Press a key from the group to hear the code");
    EXPECT_EQ(screen.text(kNext), "Next");
    EXPECT_EQ(screen.text(kExit), "Exit");
    EXPECT_EQ(screen.control(kStart), nullptr);
    EXPECT_EQ(screen.text(kKeyPressedLabel), "Key pressed:");
    EXPECT_TRUE(screen.controlAs<QLabel>(kKeyPressedLabel)->alignment() & Qt::AlignRight);
    ASSERT_NE(screen.controlAs<QLineEdit>(kKeyCapture), nullptr);
    EXPECT_FALSE(screen.controlAs<QLineEdit>(kKeyCapture)->hasFrame());
    EXPECT_EQ(screen.control(kKeyCapture)->size(), QSize(0, 0));
    EXPECT_EQ(screen.text(kCharacterBox), "");
    EXPECT_EQ(screen.controlAs<QLabel>(kCharacterBox)->frameShape(), QFrame::Box);
    expectBlackOnWhite(screen, kCharacterBox);

    ASSERT_TRUE(showActive(screen));
    EXPECT_EQ(screen.focusedId(), kKeyCapture);  // keys typed go to the invisible box

    // Stage 1: "Start" joins the others.
    press(screen, kNext);
    EXPECT_EQ(screen.lesson().stage(), 1);
    EXPECT_EQ(screen.text(kStart), "Start");
    EXPECT_EQ(screen.text(kNext), "Next");
    EXPECT_EQ(screen.text(kInstructions), shown(keytut::kKeyviewRecognitionInstructions));
    EXPECT_EQ(screen.text(kInstructions),
              "Random characters will now be sent\nfrom the group, press the key when\n"
              "you recognise the character");
    EXPECT_EQ(screen.focusedId(), kCharacterBox);

    // Stage 2: the character box, "Key pressed:", the key-capture box and "Next" go; the
    // results box comes.
    press(screen, kNext);
    settle();
    EXPECT_EQ(screen.lesson().stage(), 2);
    for (int gone : std::initializer_list<int>{kCharacterBox, kKeyPressedLabel, kNext})
        EXPECT_EQ(screen.control(gone), nullptr) << gone;
    EXPECT_EQ(screen.findChildren<QLineEdit*>().size(), 0);
    auto* results = screen.controlAs<QLabel>(kResultsBox);
    ASSERT_NE(results, nullptr);
    EXPECT_EQ(results->frameShape(), QFrame::Box);
    EXPECT_TRUE(results->wordWrap());
    EXPECT_EQ(screen.text(kResultsBox), "");
    expectBlackOnWhite(screen, kResultsBox);
    EXPECT_EQ(screen.text(kInstructions),
              "20 groups of 5 characters will now be sent \nfrom those learned so far\n"
              "They will be displayed when finished sending");
    EXPECT_EQ(screen.focusedId(), kStart);
    EXPECT_EQ(screen.lesson().state().text, "ETIMANSORK");

    // "Next" is gone.
    EXPECT_FALSE(press(screen, kNext));
    EXPECT_EQ(screen.lesson().stage(), 2);
    EXPECT_NE(screen.control(kExit), nullptr);
    EXPECT_NE(screen.control(kStart), nullptr);
}

TEST(KeyviewLessonScreen, HearingPlaysTheGroupKeysOnly) {
    KeyviewRig rig;
    rig.begin(1);  // ETIM
    Practice::Lesson screen(rig.app(), rig.opened);
    ASSERT_TRUE(showActive(screen));
    QWidget* capture = screen.control(kKeyCapture);
    ASSERT_EQ(QApplication::focusWidget(), capture);

    typeKey(rig, capture, Qt::Key_T);
    ASSERT_TRUE(waitFor([&] { return rig.writes() == 1; }));
    EXPECT_EQ(rig.heard(), "T");
    EXPECT_EQ(screen.text(kCharacterBox), "T");
    EXPECT_EQ(screen.text(kKeyCapture), "");  // what was typed into the box is cleared
    // The character stands inside the border of its small box.
    EXPECT_LE(screen.control(kCharacterBox)->sizeHint().width(),
              screen.control(kCharacterBox)->width());

    // Keys outside the group: nothing is played or shown.
    typeKey(rig, capture, Qt::Key_A);
    typeKey(rig, capture, Qt::Key_5);
    spin(200);
    EXPECT_EQ(rig.writes(), 1u);
    EXPECT_EQ(screen.text(kCharacterBox), "T");

    // A key held down is reported once; Shift does not matter.
    QTest::keyPress(capture, Qt::Key_M, Qt::ShiftModifier);
    spin(250);
    QTest::keyRelease(capture, Qt::Key_M, Qt::ShiftModifier);
    spin(100);
    EXPECT_EQ(rig.heard(), "TM");
    EXPECT_EQ(screen.text(kCharacterBox), "M");

    // Return in this stage sends nothing.
    pressKey(capture, Qt::Key_Return);
    spin(100);
    EXPECT_EQ(rig.writes(), 2u);
    EXPECT_EQ(screen.lesson().stage(), 0);
}

TEST(KeyviewLessonScreen, RecognitionAnswersRightAndWrongKeys) {
    KeyviewRig rig;
    rig.begin(1);
    Practice::Lesson screen(rig.app(), rig.opened);
    ASSERT_TRUE(showActive(screen));

    // "Next" clicked with the mouse; the focus does not stay on it, so Return starts.
    QTest::mouseClick(screen.control(kNext), Qt::LeftButton);
    ASSERT_EQ(screen.lesson().stage(), 1);
    EXPECT_EQ(screen.text(kCharacterBox), "");

    // A key before the first character is not judged.
    screen.keyPressed('E');
    settle();
    EXPECT_EQ(rig.writes(), 0u);
    EXPECT_EQ(rig.soundsPlayed(), 0u);

    pressKey(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(screen.lesson().stage(), 1);
    ASSERT_EQ(rig.writes(), 1u);
    const char first = rig.heard()[0];
    EXPECT_NE(std::string("ETIM").find(first), std::string::npos);
    EXPECT_EQ(screen.focusedId(), kKeyCapture);

    // The right key, pressed on the keyboard: shown, and the next character follows at once.
    typeKey(rig, QApplication::focusWidget(), static_cast<Qt::Key>(first));
    ASSERT_TRUE(waitFor([&] { return rig.writes() == 2; }));
    EXPECT_EQ(screen.text(kCharacterBox), std::string(1, first));
    EXPECT_EQ(screen.text(kKeyCapture), "");
    EXPECT_EQ(rig.soundsPlayed(), 0u);
    const char second = rig.heard()[1];

    // A wrong key: the sound is played to its end, then the same character again; the box keeps
    // the last right answer and the expected character goes only into the invisible box.
    const char wrong = second == 'E' ? 'T' : 'E';
    screen.keyPressed(wrong);
    settle();
    EXPECT_EQ(rig.soundsPlayed(), 1u);
    ASSERT_EQ(rig.sendsBeforeSound.size(), 1u);
    EXPECT_EQ(rig.sendsBeforeSound[0], 2u);  // the character came after the sound
    ASSERT_EQ(rig.writes(), 3u);
    EXPECT_EQ(rig.heard(2), std::string(1, second));
    EXPECT_EQ(screen.text(kCharacterBox), std::string(1, first));
    EXPECT_EQ(screen.text(kKeyCapture), std::string(1, second));

    // Start sends a new character each time.
    press(screen, kStart);
    EXPECT_EQ(rig.writes(), 4u);
    EXPECT_EQ(screen.lesson().expected(), rig.heard(3));

    // A digit is judged like a letter: wrong here, so a sound and the character again.
    screen.keyPressed('5');
    settle();
    EXPECT_EQ(rig.soundsPlayed(), 2u);
    ASSERT_EQ(rig.writes(), 5u);
    EXPECT_EQ(rig.heard(4)[0], rig.heard(3)[0]);

    // Escape while the sound still plays: the screen closes at once, and the character the
    // sound came before is not sent after it.
    rig.soundClock.stop();
    screen.keyPressed(screen.lesson().expected() == "E" ? 'T' : 'E');
    EXPECT_TRUE(waitFor([] { return keytut::ui::blockingWaitActive(); }));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    settle();
    EXPECT_FALSE(keytut::ui::blockingWaitActive());
    EXPECT_FALSE(screen.isVisible());
    EXPECT_EQ(rig.soundsPlayed(), 3u);
    EXPECT_EQ(rig.writes(), 5u);
}

TEST(KeyviewLessonScreen, GroupTestSendsTwentyGroupsAndShowsThemInAColumn) {
    KeyviewRig rig;
    rig.begin(2);  // ANS, after ETIM
    Practice::Lesson screen(rig.app(), rig.opened);
    ASSERT_TRUE(showActive(screen));
    press(screen, kNext);
    press(screen, kNext);
    settle();

    // The end of a character sent before the test is not its result.
    screen.whenSent()();
    settle();
    EXPECT_EQ(screen.text(kResultsBox), "");

    pressKey(QApplication::focusWidget(), Qt::Key_Return);  // the focus is on Start
    const std::string text = rig.tutor().sender.text();
    ASSERT_EQ(text.size(), 120u);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i % 6 == 5) {
            EXPECT_EQ(text[i], ' ') << i;
        } else {
            EXPECT_NE(std::string("ETIMANS").find(text[i]), std::string::npos) << i;
        }
    }
    EXPECT_EQ(screen.focusedId(), kResultsBox);

    // Nothing is shown while sending.
    rig.wave->advance(rig.wave->written().back().samples.size());
    settle();
    EXPECT_EQ(rig.heard(), text.substr(0, 2));
    EXPECT_EQ(screen.text(kResultsBox), "");

    rig.wave->runUntilIdle();
    settle();
    EXPECT_EQ(rig.heard(), text);
    EXPECT_EQ(screen.text(kInstructions), "How did you do?\nPress Start to go again");
    EXPECT_EQ(screen.text(kResultsBox), text);

    // The box holds one group per line: wrapped, the text needs exactly the height of the
    // twenty groups set one under the other, and a group fits the width, border included.
    auto* results = screen.controlAs<QLabel>(kResultsBox);
    std::string column;
    for (std::size_t at = 0; at < text.size(); at += 6)
        column += text.substr(at, 6) + "\n";
    column.pop_back();
    QLabel probe;
    probe.setFont(results->font());
    probe.setFrameShape(results->frameShape());
    probe.setIndent(results->indent());
    probe.setText(QString::fromStdString(column));
    EXPECT_EQ(results->heightForWidth(results->width()), probe.sizeHint().height());
    EXPECT_LE(probe.sizeHint().height(), results->height());
    probe.setText(QString::fromStdString(text.substr(0, 5)));
    EXPECT_LE(probe.sizeHint().width(), results->width());

    // Start again: the box is cleared and a new test is sent.
    const auto before = rig.writes();
    press(screen, kStart);
    EXPECT_EQ(screen.text(kResultsBox), "");
    EXPECT_EQ(rig.writes(), before + 1);
    EXPECT_EQ(rig.tutor().sender.text().size(), 120u);
    EXPECT_NE(rig.tutor().sender.text(), text);
}

TEST(KeyviewLessonScreen, ExitDuringATestStopsAfterTheCurrentCharacter) {
    for (bool escape : {false, true}) {
        KeyviewRig rig;
        rig.begin(1);
        Practice::Lesson screen(rig.app(), rig.opened);
        ASSERT_TRUE(showActive(screen));
        press(screen, kNext);
        press(screen, kNext);
        press(screen, kStart);
        rig.wave->advance(rig.wave->written().back().samples.size());  // the second starts
        ASSERT_EQ(rig.writes(), 2u);

        if (escape) {
            pressKey(QApplication::focusWidget(), Qt::Key_Escape);
        } else {
            press(screen, kExit);
        }
        EXPECT_TRUE(screen.ended()) << escape;
        EXPECT_FALSE(screen.isVisible()) << escape;
        EXPECT_FALSE(rig.tutor().sender.hasMore());
        rig.wave->runUntilIdle();
        settle();
        EXPECT_EQ(rig.writes(), 2u) << escape;  // the second character was the last
        EXPECT_EQ(rig.heard(), rig.tutor().sender.text().substr(0, 2));
        EXPECT_EQ(screen.text(kResultsBox), "");  // no results for a test left early
    }
}

// What a lesson entry opened, seen from inside its modal loop; the screen is then left.
struct Opened {
    std::string kind;
    std::string title;
    int number = 0;
};

Opened openAndLeave(KeyviewRig& rig, int lesson) {
    Opened opened;
    QObject guard;  // the look is called off when nothing opened
    QTimer::singleShot(50, &guard, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* lessonWindow = qobject_cast<keytut::ui::LessonScreen*>(modal)) {
            opened = {"lesson", lessonWindow->windowTitle().toStdString(),
                      lessonWindow->lesson().state().number};
            press(*lessonWindow, kExit);
        } else if (auto* signs = qobject_cast<keytut::ui::PunctuationScreen*>(modal)) {
            opened = {"punctuation", signs->windowTitle().toStdString()};
            press(*signs, punctuation::kExit);
        }
    });
    keytut::ui::editionOpeners(rig.app()).lesson(lesson);
    return opened;
}

TEST(KeyviewLessonScreen, LessonEntryOpensTheLessonOrThePunctuationScreen) {
    KeyviewRig rig;
    Opened first = openAndLeave(rig, 1);
    EXPECT_EQ(first.kind, "lesson");
    EXPECT_EQ(first.title, "Lesson 1  ETIM");
    EXPECT_EQ(first.number, 1);

    Opened numbers = openAndLeave(rig, 10);
    EXPECT_EQ(numbers.kind, "lesson");
    EXPECT_EQ(numbers.title, "Lesson 10  1234567890");

    Opened signs = openAndLeave(rig, 11);
    EXPECT_EQ(signs.kind, "punctuation");
    EXPECT_EQ(signs.title, "Punctuation");

    // A punctuation mark among letters also opens the punctuation screen.
    rig.tutor().data.lessonGroups[0] = "EA?";
    EXPECT_EQ(openAndLeave(rig, 1).kind, "punctuation");

    // No such lesson: nothing opens.
    EXPECT_EQ(openAndLeave(rig, 12).kind, "");
    EXPECT_EQ(openAndLeave(rig, 0).kind, "");
}

}  // namespace
}  // namespace keyview
