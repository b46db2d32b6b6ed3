// Both main windows: controls, captions, ids and places for 11, 1 and 0 lesson groups, the speed
// rule through the lists, the exercise buttons, mnemonics and the end of the program.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "earkey/exercises.h"
#include "earkey/main_menu.h"
#include "keyview/exercises.h"
#include "keyview/main_window.h"
#include "platform/ui/kept_settings.h"
#include "test_support.h"
#include "tests/editions.h"

namespace keytut::ui {
namespace {

using testing::expectPlacedInPixels;
using testing::Place;
using testing::placeOf;
using testing::showActive;
using testing::TestProgram;
using namespace menu;

const std::vector<std::string> kElevenGroups = {
    "ETIM", "ANS", "ORK", "DUG", "WHC", "LYF", "PBV", "XQ", "JZ", "1234567890", "+@!=/.,?"};

// What the exercise buttons started, in order.
struct Started {
    std::vector<std::string> calls;
    ExerciseOpeners openers() {
        namespace x = exercise;
        auto note = [this](std::string what) { return [this, what] { calls.push_back(what); }; };
        return {[this](int n) { calls.push_back("lesson " + std::to_string(n)); },
                {{x::kThirtyWords, note("words")},
                 {x::kQsos, note("qsos")},
                 {x::kMessage, note("message")},
                 {x::kFile, note("file")},
                 {x::kStraightKey, note("straight")},
                 {x::kPaddleKey, note("paddle")},
                 {x::kKey, note("key")}}};
    }
};

std::vector<int> expectedEarkeyIds(int n) {
    std::vector<int> ids;
    for (int i = 1; i <= n; ++i)
        ids.push_back(100 + i);
    for (int id : {200, 300, 301, 302, 303, 306, 307, 312, 313, 208, 207, 205, 304, 206, 305, 199,
                   309, 310, 315})
        ids.push_back(id);
    return ids;
}

std::vector<int> expectedKeyviewIds(int n) {
    std::vector<int> ids;
    for (int i = 1; i <= n; ++i) {
        ids.push_back(100 + i);
        ids.push_back(210 + i);
    }
    for (int id : {200, 300, 201, 301, 202, 302, 203, 303, 204, 306, 209, 307, 210, 312,
                   231, 313, 232, 208, 207, 205, 304, 206, 305, 199, 309, 310, 315})
        ids.push_back(id);
    return ids;
}

void expectSettings(const Screen& w) {
    EXPECT_EQ(w.text(207), "Set Speeds and Com port");
    EXPECT_EQ(placeOf(w, 207), (Place{220, 10, 140, 132}));
    EXPECT_EQ(w.text(205), "&Character Speed:");
    EXPECT_EQ(placeOf(w, 205), (Place{225, 32, 60, 10}));
    EXPECT_EQ(placeOf(w, 304), (Place{290, 30, 30, 80}));
    EXPECT_EQ(w.text(206), "Word &Speed:");
    EXPECT_EQ(placeOf(w, 206), (Place{225, 68, 60, 10}));
    EXPECT_EQ(placeOf(w, 305), (Place{290, 66, 30, 80}));
    EXPECT_EQ(w.text(199), "Comm &Port:");
    EXPECT_EQ(placeOf(w, 199), (Place{225, 108, 60, 10}));
    EXPECT_EQ(placeOf(w, 309), (Place{290, 108, 10, 10}));
    EXPECT_EQ(w.text(310), "&Tone");
    EXPECT_EQ(placeOf(w, 310), (Place{290, 124, 40, 14}));
    EXPECT_EQ(w.text(315), "Ke&y");
    EXPECT_EQ(placeOf(w, 315), (Place{333, 124, 25, 14}));
    for (int id : {205, 206, 199}) {
        EXPECT_TRUE(w.controlAs<QLabel>(id)->alignment() & Qt::AlignRight) << id;
    }
    for (int list : {304, 305}) {
        auto* combo = w.controlAs<QComboBox>(list);
        ASSERT_NE(combo, nullptr);
        EXPECT_FALSE(combo->isEditable());
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        EXPECT_EQ(items, QStringList({"5", "12", "15", "18", "20", "25", "30"}));
    }
    // Labels and group boxes black on the screen colour, like the window.
    EXPECT_EQ(w.palette().color(QPalette::Window), QColor(150, 255, 255));
    for (int id : {199, 205, 206, 207, 208, 200}) {
        EXPECT_EQ(w.control(id)->palette().color(QPalette::WindowText), QColor(Qt::black)) << id;
        EXPECT_EQ(w.control(id)->palette().color(QPalette::Window), QColor(150, 255, 255)) << id;
    }
}

TEST(EarkeyMainMenu, ElevenGroups) {
    TestProgram program(Edition::Earkey, kElevenGroups);
    Started started;
    earkey::MainMenu w(program.app, started.openers());
    EXPECT_EQ(w.windowTitle().toStdString(),
              "Earkey v1.01   Morse Code Practice for White Stick users    by Q Q 0 Q Q");
    EXPECT_EQ(w.controlIds(), expectedEarkeyIds(11));
    EXPECT_EQ(w.text(101), "E T I M ");
    EXPECT_EQ(w.text(109), "J Z ");
    EXPECT_EQ(w.text(110), "Numbers");
    EXPECT_EQ(w.text(111), "Punctuation");
    for (int i = 1; i <= 11; ++i)
        EXPECT_EQ(placeOf(w, 100 + i), (Place{20, 20 * i, 100, 14}));
    EXPECT_TRUE(w.controlAs<QPushButton>(101)->isDefault());
    EXPECT_FALSE(w.controlAs<QPushButton>(102)->isDefault());
    EXPECT_EQ(placeOf(w, 200), (Place{10, 10, 150, 242}));
    EXPECT_EQ(w.text(300), "30 word test");
    EXPECT_EQ(placeOf(w, 300), (Place{15, 260, 80, 14}));
    EXPECT_EQ(w.text(301), "Random Q S Ohs");
    EXPECT_EQ(placeOf(w, 301), (Place{15, 278, 80, 14}));
    EXPECT_EQ(w.text(302), "Type a Message");
    EXPECT_EQ(placeOf(w, 302), (Place{140, 260, 80, 14}));
    EXPECT_EQ(w.text(303), "Send a File");
    EXPECT_EQ(placeOf(w, 303), (Place{140, 278, 80, 14}));
    EXPECT_EQ(w.text(306), "Straight Key Send");
    EXPECT_EQ(placeOf(w, 306), (Place{265, 260, 80, 14}));
    EXPECT_EQ(w.text(307), "Paddle Key Send");
    EXPECT_EQ(placeOf(w, 307), (Place{265, 278, 80, 14}));
    // The Koch trainer and the progress in a third row, which the practice group grows to hold.
    EXPECT_EQ(w.text(312), "Koch Trainer");
    EXPECT_EQ(placeOf(w, 312), (Place{15, 296, 80, 14}));
    EXPECT_EQ(w.text(313), "Progress");
    EXPECT_EQ(placeOf(w, 313), (Place{140, 296, 80, 14}));
    EXPECT_EQ(w.text(208), "Practice");
    EXPECT_EQ(placeOf(w, 208), (Place{10, 248, 350, 73}));
    expectSettings(w);
    // The practice rows lie below 220 units: the window grows to show them.
    EXPECT_GE(w.height(), w.toPixels(0, 0, 0, 321).height());
    EXPECT_EQ(w.width(), w.toPixels(0, 0, 380, 0).width());
    expectPlacedInPixels(w);
    // Buttons carry no mnemonics and are not coloured.
    for (int id : {101, 110, 300, 301, 302, 303, 306, 307}) {
        EXPECT_EQ(w.text(id).find('&'), std::string::npos) << id;
    }
}

TEST(EarkeyMainMenu, OneAndNoGroups) {
    TestProgram one(Edition::Earkey, {"ETIM"});
    earkey::MainMenu w1(one.app, {});
    EXPECT_EQ(w1.controlIds(), expectedEarkeyIds(1));
    EXPECT_EQ(w1.text(101), "Punctuation");
    EXPECT_EQ(placeOf(w1, 200), (Place{10, 10, 150, 22}));
    EXPECT_EQ(placeOf(w1, 300), (Place{15, 60, 80, 14}));
    EXPECT_EQ(placeOf(w1, 301), (Place{15, 78, 80, 14}));
    EXPECT_EQ(placeOf(w1, 208), (Place{10, 48, 350, 73}));

    TestProgram none(Edition::Earkey, {});
    earkey::MainMenu w0(none.app, {});
    EXPECT_EQ(w0.controlIds(), expectedEarkeyIds(0));
    EXPECT_EQ(placeOf(w0, 200), (Place{10, 10, 150, 0}));
    EXPECT_EQ(placeOf(w0, 300), (Place{15, 40, 80, 14}));
    EXPECT_EQ(placeOf(w0, 301), (Place{15, 58, 80, 14}));
    EXPECT_EQ(placeOf(w0, 307), (Place{265, 58, 80, 14}));
    expectSettings(w0);
    EXPECT_EQ(w0.size(), w0.toPixels(0, 0, 380, 220).size());
    expectPlacedInPixels(w0);

    TestProgram two(Edition::Earkey, {"ETIM", "+@"});
    earkey::MainMenu w2(two.app, {});
    EXPECT_EQ(w2.text(101), "Numbers");
    EXPECT_EQ(w2.text(102), "Punctuation");
}

TEST(EarkeyMainMenu, StartsOnTheFirstLessonWithDefaultSettings) {
    TestProgram program(Edition::Earkey, kElevenGroups);
    earkey::MainMenu w(program.app, {});
    ASSERT_TRUE(showActive(w));
    EXPECT_EQ(w.focusedId(), 101);
    EXPECT_EQ(w.text(304), "12");
    EXPECT_EQ(w.text(305), "12");
    EXPECT_EQ(w.text(309), "1");
    // Tab walks the buttons, both lists, the port box and the Tone and Key buttons in creation
    // order.
    std::vector<int> walk;
    for (int i = 0; i < 24; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        walk.push_back(w.focusedId());
    }
    EXPECT_EQ(walk, (std::vector<int>{102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 300, 301,
                                      302, 303, 306, 307, 312, 313, 304, 305, 309, 310, 315, 101}));
}

// Chooses entry `index` of a list as the learner does.
void choose(Screen& w, int list, int index) {
    auto* combo = w.controlAs<QComboBox>(list);
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

class SpeedRule : public ::testing::TestWithParam<Edition> {};

TEST_P(SpeedRule, WordSpeedNeverFasterThanCharacterSpeed) {
    TestProgram program(GetParam(), kElevenGroups);
    std::unique_ptr<MenuWindow> w;
    if (GetParam() == Edition::Earkey) {
        w = std::make_unique<earkey::MainMenu>(program.app, ExerciseOpeners{});
    } else {
        w = std::make_unique<keyview::MainWindow>(program.app, ExerciseOpeners{});
    }
    ASSERT_TRUE(showActive(*w));
    const Timing& t = program.tutor.timing;
    auto shown = [&] { return w->text(304) + "/" + w->text(305); };
    EXPECT_EQ(t.charDotSamples, 767);

    choose(*w, 305, 4);  // word 20 while characters at 12: characters follow up
    EXPECT_EQ(shown(), "20/20");
    EXPECT_EQ(t.charDotSamples, 460);
    EXPECT_EQ(t.wordDotSamples, 460);

    choose(*w, 304, 1);  // characters 12 below word 20: the word speed follows down
    EXPECT_EQ(shown(), "12/12");
    choose(*w, 304, 0);  // characters 5: word speed down to 5
    EXPECT_EQ(shown(), "5/5");
    EXPECT_EQ(t.charDotSamples, 1840);
    EXPECT_EQ(t.wordDotSamples, 1840);

    choose(*w, 304, 1);  // characters 12, word stays at 5 (slower is allowed)
    choose(*w, 305, 1);  // word 12
    choose(*w, 304, 5);  // characters 25 leave the word speed at 12
    EXPECT_EQ(shown(), "25/12");
    EXPECT_EQ(t.charDotSamples, 368);
    EXPECT_EQ(t.wordDotSamples, 767);

    choose(*w, 305, 0);  // word 5 while characters 25: only the word speed changes
    EXPECT_EQ(shown(), "25/5");
    EXPECT_EQ(t.wordDotSamples, 1840);
    choose(*w, 305, 6);  // word 30 above characters 25: characters up to 30
    EXPECT_EQ(shown(), "30/30");
    EXPECT_EQ(t.charDotSamples, 307);

    // A highlight moving in an open list is no choice.
    emit w->controlAs<QComboBox>(304)->highlighted(0);
    EXPECT_EQ(t.charDotSamples, 307);

    w->controlAs<QComboBox>(304)->setCurrentIndex(6);

    // The keyboard on a closed list chooses too.
    w->focus(305);
    QTest::keyClick(w->control(305), Qt::Key_Up);
    EXPECT_EQ(shown(), "30/25");
    EXPECT_EQ(t.wordDotSamples, 368);
    w->focus(304);
    QTest::keyClick(w->control(304), Qt::Key_Home);
    EXPECT_EQ(shown(), "5/5");
    EXPECT_EQ(t.charDotSamples, 1840);
}

INSTANTIATE_TEST_SUITE_P(BothEditions, SpeedRule,
                         ::testing::Values(Edition::Earkey, Edition::Keyview));

// What a screen reader is given for the settings: each list's value with the focus (its
// description), each change said once by a notification that leaves the focus where it is,
// with what the speed rule did to the other list; the port box's text without a selection.
class HeardSettings : public ::testing::TestWithParam<Edition> {
  protected:
    static std::string announced() { return testing::announced(); }
    static std::string description(QWidget* w) { return testing::accessibleDescription(w); }
};

TEST_P(HeardSettings, ValuesOnFocusAndEveryChangeSaidOnce) {
    TestProgram program(GetParam(), kElevenGroups);
    program.app.settings().setPort("7");  // kept from the last run
    std::unique_ptr<MenuWindow> w;
    if (GetParam() == Edition::Earkey) {
        w = std::make_unique<earkey::MainMenu>(program.app, ExerciseOpeners{});
    } else {
        w = std::make_unique<keyview::MainWindow>(program.app, ExerciseOpeners{});
    }
    ASSERT_TRUE(showActive(*w));
    EXPECT_EQ(description(w->control(304)), "12");
    EXPECT_EQ(description(w->control(305)), "12");
    EXPECT_EQ(description(w->control(309)), "7");

    w->focus(304);
    const std::vector<std::pair<int, std::string>> steps = {
        {Qt::Key_Down, "15"}, {Qt::Key_Up, "12"}, {Qt::Key_Up, "5, Word speed lowered to 5"}};
    for (const auto& [key, said] : steps) {
        QTest::keyClick(w->control(304), static_cast<Qt::Key>(key));
        EXPECT_EQ(announced(), said);
        EXPECT_EQ(w->focusedId(), 304);
    }
    EXPECT_EQ(description(w->control(305)), "5");
    w->focus(305);
    QTest::keyClick(w->control(305), Qt::Key_End);
    EXPECT_EQ(announced(), "30, Character speed raised to 30");
    EXPECT_EQ(description(w->control(304)), "30");

    // Tab into the port box: the caret after the text, nothing selected.
    QTest::keyClick(w->control(305), Qt::Key_Tab);
    auto* port = w->controlAs<QLineEdit>(309);
    ASSERT_EQ(w->focusedId(), 309);
    EXPECT_FALSE(port->hasSelectedText());
    EXPECT_EQ(port->cursorPosition(), 1);
    QTest::keyClick(port, Qt::Key_Backspace);
    QTest::keyClicks(port, "2");
    EXPECT_EQ(description(port), "2");

    // Closing gives the port back to be kept.
    w->cancel();
    EXPECT_EQ(program.app.settings().port(), "2");
}

INSTANTIATE_TEST_SUITE_P(BothEditions, HeardSettings,
                         ::testing::Values(Edition::Earkey, Edition::Keyview));

// The settings are kept as they are chosen: each change of a speed or of the port box at once,
// however the program ends later. When they cannot be kept the learner is told, once. The port
// box and the window's size.
class MainWindowSettingsAndSize : public ::testing::TestWithParam<Edition> {
  protected:
    std::unique_ptr<MenuWindow> open(TestProgram& program) {
        std::unique_ptr<MenuWindow> w;
        if (GetParam() == Edition::Earkey)
            w = std::make_unique<earkey::MainMenu>(program.app, ExerciseOpeners{});
        else
            w = std::make_unique<keyview::MainWindow>(program.app, ExerciseOpeners{});
        program.app.setMainWindow(w.get());
        EXPECT_TRUE(showActive(*w));
        return w;
    }
    static void type(MenuWindow& w, int id, Qt::Key key) {
        w.focus(id);
        QTest::keyClick(w.control(id), key);
        testing::settle();
    }
    QTemporaryDir dir;
};

TEST_P(MainWindowSettingsAndSize, EachChangeIsKeptAsItIsMade) {
    const auto file = std::filesystem::path(dir.path().toStdString()) / "keytut" / "kept.conf";
    SettingsKeeper keeper(file);
    TestProgram program(GetParam(), kElevenGroups);
    program.app.setSettingsKeeper(&keeper);
    auto w = open(program);
    type(*w, kCharacterSpeed, Qt::Key_Down);
    EXPECT_EQ(loadSettings(file).speeds.charIndex, 2);  // 15, before any end of the program
    type(*w, kPort, Qt::Key_Backspace);
    type(*w, kPort, Qt::Key_4);
    EXPECT_EQ(loadSettings(file).port, "4");
    EXPECT_TRUE(program.messages.messages.empty());
}

TEST_P(MainWindowSettingsAndSize, SettingsThatCannotBeKeptAreToldOnce) {
    // A file where the settings' folder should be.
    const auto blocker = std::filesystem::path(dir.path().toStdString()) / "keytut";
    std::ofstream(blocker) << "not a folder";
    SettingsKeeper keeper(blocker / "kept.conf");
    TestProgram program(GetParam(), kElevenGroups);
    program.app.setSettingsKeeper(&keeper);
    auto w = open(program);
    type(*w, kCharacterSpeed, Qt::Key_Down);
    ASSERT_EQ(program.messages.messages.size(), 1u);
    EXPECT_EQ(program.messages.messages[0].rfind(kSettingsUnkeptMessage, 0), 0u)
        << program.messages.messages[0];
    EXPECT_NE(program.messages.messages[0].find(blocker.string()), std::string::npos);
    type(*w, kCharacterSpeed, Qt::Key_Down);
    type(*w, kWordSpeed, Qt::Key_Down);
    type(*w, kPort, Qt::Key_7);
    EXPECT_EQ(program.messages.messages.size(), 1u);
}

// The port box takes what can name a port: digits, at most three of them.
TEST_P(MainWindowSettingsAndSize, ThePortBoxTakesAPortNumberOnly) {
    TestProgram program(GetParam(), kElevenGroups);
    auto w = open(program);
    auto* port = w->controlAs<QLineEdit>(kPort);
    w->focus(kPort);
    port->selectAll();
    QTest::keyClicks(port, "x1-2 345678");
    EXPECT_EQ(w->text(kPort), "123");
    w->cancel();
    EXPECT_EQ(program.app.settings().port(), "123");
}

// The main window cannot be shrunk until its controls are hidden; it may grow.
TEST_P(MainWindowSettingsAndSize, TheWindowIsNeverSmallerThanItsControls) {
    for (const auto& groups : {kElevenGroups, std::vector<std::string>{}}) {
        TestProgram program(GetParam(), groups);
        auto w = open(program);
        const QSize full = w->size();
        EXPECT_EQ(w->minimumSize(), full);
        w->resize(50, 50);
        EXPECT_EQ(w->size(), full);
        for (int id : w->controlIds()) {
            if (w->control(id)->isVisible()) {
                EXPECT_TRUE(w->rect().contains(w->control(id)->geometry())) << id;
            }
        }
        w->resize(full.width() + 100, full.height() + 50);
        EXPECT_EQ(w->size(), QSize(full.width() + 100, full.height() + 50));
    }
}

// One press of a key button, one box: a press that reaches the main window while the box of a
// port that cannot be opened is up (a screen reader's press action does) opens nothing more.
TEST_P(MainWindowSettingsAndSize, OnePressOfSendOneBox) {
    TestProgram program(GetParam(), kElevenGroups);
    std::unique_ptr<MenuWindow> w;
    if (GetParam() == Edition::Earkey)
        w = std::make_unique<earkey::MainMenu>(program.app, earkey::exerciseOpeners(program.app));
    else
        w = std::make_unique<keyview::MainWindow>(program.app,
                                                  keyview::exerciseOpeners(program.app));
    program.app.setMainWindow(w.get());
    ASSERT_TRUE(showActive(*w));
    w->setText(kPort, "");  // "No Comm Port Selected"
    for (int button : {kStraightKey, kPaddleKey}) {
        int boxes = 0;
        bool pressedAgain = false;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            if (box->property("counted").isNull()) {
                box->setProperty("counted", true);
                ++boxes;
            }
            if (!pressedAgain) {
                // Pressed again while the box is up (from the box's own loop, as a screen
                // reader's press action comes; this timer stays free to dismiss boxes).
                pressedAgain = true;
                QMetaObject::invokeMethod(
                    w.get(), [&] { w->controlAs<QPushButton>(button)->click(); },
                    Qt::QueuedConnection);
                return;
            }
            box->reject();
        });
        watch.start(30);
        w->controlAs<QPushButton>(button)->click();
        watch.stop();
        EXPECT_TRUE(pressedAgain) << button;
        EXPECT_EQ(boxes, 1) << button;
        // Once the box is gone, the next press gives its box again.
        pressedAgain = true;
        watch.start(30);
        w->controlAs<QPushButton>(button)->click();
        watch.stop();
        EXPECT_EQ(boxes, 2) << button;
    }
}

INSTANTIATE_TEST_SUITE_P(BothEditions, MainWindowSettingsAndSize,
                         ::testing::Values(Edition::Earkey, Edition::Keyview));

TEST(SpeedRuleNote, SaysWhichListFollowed) {
    auto speeds = [](int c, int w) {
        SpeedSettings s;
        s.charIndex = c;
        s.wordIndex = w;
        return s;
    };
    EXPECT_EQ(speedRuleNote(speeds(1, 1), speeds(0, 0)), "Word speed lowered to 5");
    EXPECT_EQ(speedRuleNote(speeds(1, 1), speeds(4, 4)), "Character speed raised to 20");
    EXPECT_EQ(speedRuleNote(speeds(1, 1), speeds(5, 1)), "");  // characters faster: no rule
    EXPECT_EQ(speedRuleNote(speeds(5, 1), speeds(5, 0)), "");  // words slower: no rule
}

TEST(EarkeyMainMenu, ButtonsStartTheirExercisesAndCopyTheSettings) {
    TestProgram program(Edition::Earkey, kElevenGroups);
    Started started;
    earkey::MainMenu w(program.app, started.openers());
    ASSERT_TRUE(showActive(w));
    QTest::keyClick(w.control(101), Qt::Key_Return);  // the focused first lesson
    w.focus(103);
    QTest::keyClick(w.control(103), Qt::Key_Space);
    QTest::keyRelease(w.control(103), Qt::Key_Space);
    w.focus(304);
    QTest::keyClick(w.control(304), Qt::Key_Return);  // the default button, lesson 1
    for (int id : {111, 300, 301, 302, 303})
        w.controlAs<QPushButton>(id)->click();
    w.setText(309, "3");
    choose(w, 304, 3);
    w.controlAs<QPushButton>(306)->click();
    EXPECT_EQ(program.app.settings().port(), "3");
    w.setText(309, "12");
    w.controlAs<QPushButton>(307)->click();
    EXPECT_EQ(program.app.settings().port(), "12");
    EXPECT_EQ(program.app.settings().characterSpeedText(), "18");
    // The key screen is that of the number in the box, reached with its mnemonic too.
    w.setText(309, "4");
    QTest::keyClick(w.control(304), Qt::Key_Y, Qt::AltModifier);
    ASSERT_TRUE(testing::waitFor([&] { return started.calls.back() == "key"; }));
    EXPECT_EQ(program.app.settings().port(), "4");
    EXPECT_EQ(started.calls,
              (std::vector<std::string>{"lesson 1", "lesson 3", "lesson 1", "lesson 11", "words",
                                        "qsos", "message", "file", "straight", "paddle", "key"}));
}

TEST(MainWindows, EscapeAndTheCloseBoxEndTheProgram) {
    for (Edition edition : {Edition::Earkey, Edition::Keyview}) {
        for (bool closeBox : {false, true}) {
            TestProgram program(edition, kElevenGroups);
            std::unique_ptr<MenuWindow> w;
            if (edition == Edition::Earkey) {
                w = std::make_unique<earkey::MainMenu>(program.app, ExerciseOpeners{});
            } else {
                w = std::make_unique<keyview::MainWindow>(program.app, ExerciseOpeners{});
            }
            QTimer::singleShot(50, w.get(), [&] {
                if (closeBox) {
                    w->close();
                } else {
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
                }
            });
            // A window that did not close would hang here: the watchdog ends the wait.
            QTimer watchdog;
            watchdog.setSingleShot(true);
            QObject::connect(&watchdog, &QTimer::timeout, w.get(), [&] { w->done(99); });
            watchdog.start(5000);
            EXPECT_EQ(w->run(), 0) << (closeBox ? "close box" : "Escape");
            EXPECT_TRUE(w->ended());
        }
    }
}

TEST(KeyviewMainWindow, ElevenGroups) {
    TestProgram program(Edition::Keyview, kElevenGroups);
    Started started;
    keyview::MainWindow w(program.app, started.openers());
    EXPECT_EQ(w.windowTitle().toStdString(),
              "Keyview v1.02     A Morse Code Tutor program for Windows       by QQ0QQ");
    EXPECT_EQ(w.controlIds(), expectedKeyviewIds(11));
    for (int i = 1; i <= 11; ++i) {
        EXPECT_EQ(w.text(100 + i), "&" + std::to_string(i));
        EXPECT_EQ(placeOf(w, 100 + i), (Place{20, 20 * i, 20, 14}));
        EXPECT_EQ(w.text(210 + i), kElevenGroups[static_cast<std::size_t>(i - 1)]);
        EXPECT_EQ(placeOf(w, 210 + i), (Place{45, 20 * i + 2, 80, 10}));
        EXPECT_EQ(w.control(210 + i)->palette().color(QPalette::Window), QColor(150, 255, 255));
        EXPECT_FALSE(w.controlAs<QPushButton>(100 + i)->isDefault());
    }
    EXPECT_EQ(placeOf(w, 200), (Place{10, 10, 150, 242}));
    const std::vector<std::pair<int, std::string>> practice = {
        {300, "&Words"},   {201, "Send 30 words"},  {301, "&QSOs"}, {202, "Send QSOs"},
        {302, "&Message"}, {203, "Type a message"}, {303, "&File"}, {204, "Send a file"},
        {306, "&Send"},    {209, "Straight Key"},   {307, "S&end"}, {210, "Paddle Key"}};
    for (const auto& [id, caption] : practice)
        EXPECT_EQ(w.text(id), caption) << id;
    EXPECT_EQ(placeOf(w, 300), (Place{15, 260, 35, 14}));
    EXPECT_EQ(placeOf(w, 201), (Place{55, 262, 60, 10}));
    EXPECT_EQ(placeOf(w, 301), (Place{15, 278, 35, 14}));
    EXPECT_EQ(placeOf(w, 202), (Place{55, 280, 60, 10}));
    EXPECT_EQ(placeOf(w, 302), (Place{140, 260, 35, 14}));
    EXPECT_EQ(placeOf(w, 203), (Place{180, 262, 60, 10}));
    EXPECT_EQ(placeOf(w, 303), (Place{140, 278, 35, 14}));
    EXPECT_EQ(placeOf(w, 204), (Place{180, 280, 60, 10}));
    EXPECT_EQ(placeOf(w, 306), (Place{265, 260, 35, 14}));
    EXPECT_EQ(placeOf(w, 209), (Place{305, 262, 40, 10}));
    EXPECT_EQ(placeOf(w, 307), (Place{265, 278, 35, 14}));
    EXPECT_EQ(placeOf(w, 210), (Place{305, 280, 40, 10}));
    EXPECT_EQ(w.text(312), "K&och");
    EXPECT_EQ(placeOf(w, 312), (Place{15, 296, 35, 14}));
    EXPECT_EQ(w.text(231), "Koch trainer");
    EXPECT_EQ(w.text(313), "P&rogress");
    EXPECT_EQ(placeOf(w, 313), (Place{140, 296, 35, 14}));
    EXPECT_EQ(w.text(232), "Your progress");
    EXPECT_EQ(placeOf(w, 208), (Place{10, 248, 350, 73}));
    expectSettings(w);
    expectPlacedInPixels(w);
    // The practice buttons are not coloured (their ids lie above groupCount + 210).
    EXPECT_NE(w.control(300)->palette().color(QPalette::Button), QColor(150, 255, 255));
}

TEST(KeyviewMainWindow, NoGroupsAndNoFocusMoveAtStart) {
    TestProgram program(Edition::Keyview, {});
    keyview::MainWindow w(program.app, {});
    EXPECT_EQ(w.controlIds(), expectedKeyviewIds(0));
    EXPECT_EQ(placeOf(w, 200), (Place{10, 10, 150, 0}));
    EXPECT_EQ(placeOf(w, 300), (Place{15, 40, 35, 14}));
    EXPECT_EQ(placeOf(w, 307), (Place{265, 58, 35, 14}));
    // With no lesson groups the labels 201 to 210 still get the screen colour.
    EXPECT_EQ(w.control(204)->palette().color(QPalette::Window), QColor(150, 255, 255));
    EXPECT_EQ(w.size(), w.toPixels(0, 0, 380, 220).size());

    TestProgram one(Edition::Keyview, {"+@!=/.,?"});
    keyview::MainWindow w1(one.app, {});
    EXPECT_EQ(w1.text(101), "&1");
    EXPECT_EQ(w1.text(211), "+@!=/.,?");  // Keyview does not rename the last groups
    ASSERT_TRUE(showActive(w1));
    EXPECT_EQ(w1.text(304), "12");
    EXPECT_EQ(w1.text(309), "1");
}

TEST(KeyviewMainWindow, MnemonicsStartExercisesAndMoveTheFocus) {
    TestProgram program(Edition::Keyview, kElevenGroups);
    Started started;
    keyview::MainWindow w(program.app, started.openers());
    ASSERT_TRUE(showActive(w));
    w.focus(101);
    auto alt = [&](Qt::Key key) {
        QTest::keyClick(QApplication::focusWidget(), key, Qt::AltModifier);
        QTest::qWait(250);  // a mnemonic click shows the button pressed for a moment
    };
    alt(Qt::Key_W);
    alt(Qt::Key_Q);
    alt(Qt::Key_M);
    alt(Qt::Key_F);
    alt(Qt::Key_E);  // "S&end": the paddle key
    alt(Qt::Key_C);
    EXPECT_EQ(w.focusedId(), 304);
    alt(Qt::Key_P);
    EXPECT_EQ(w.focusedId(), 309);
    alt(Qt::Key_2);
    EXPECT_EQ(started.calls,
              (std::vector<std::string>{"words", "qsos", "message", "file", "paddle", "lesson 2"}));
    // "&Send" and "Word &Speed:" share S: the key moves between them without starting anything.
    alt(Qt::Key_S);
    alt(Qt::Key_S);
    std::set<int> reached;
    for (int i = 0; i < 3; ++i) {
        alt(Qt::Key_S);
        reached.insert(w.focusedId());
    }
    EXPECT_EQ(reached, (std::set<int>{305, 306}));
    EXPECT_EQ(started.calls.size(), 6u);
}

}  // namespace
}  // namespace keytut::ui
