// Both main windows: captions and colours for 11, 1 and 0 lesson groups, the focus and Tab, the
// speed rule through the lists, the exercise buttons, mnemonics and the end of the program. Where
// each control stands is the layout tables' (tests/earkey/test_layout.cpp,
// tests/keyview/test_layout.cpp).
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

#include "earkey/main_menu.h"
#include "keyview/main_window.h"
#include "platform/ui/edition_screens.h"
#include "platform/ui/kept_settings.h"
#include "test_support.h"
#include "tests/editions.h"

namespace keytut::ui {
namespace {

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

// The button of a registry entry, by the exercise it opens.
int buttonOf(const char* name) {
    for (const ExerciseButton& button : exerciseRegistry())
        if (button.name == name)
            return button.id;
    ADD_FAILURE() << "no entry " << name;
    return 0;
}
int descriptionOf(const char* name) {
    for (const ExerciseButton& button : exerciseRegistry())
        if (button.name == name)
            return button.descriptionId;
    ADD_FAILURE() << "no entry " << name;
    return 0;
}

// Lesson button n (1-based); Keyview writes group n beside it.
int lessonButton(int n) {
    return kFirstLessonButton + n - 1;
}
int keyviewGroupLabel(int n) {
    return kFirstGroupLabel + n - 1;
}

void expectSettings(const Screen& w) {
    EXPECT_EQ(w.text(kSettingsBox), "Set Speeds and Com port");
    EXPECT_EQ(w.text(kCharacterSpeedLabel), "&Character Speed:");
    EXPECT_EQ(w.text(kWordSpeedLabel), "Word &Speed:");
    EXPECT_EQ(w.text(kPortLabel), "Comm &Port:");
    EXPECT_EQ(w.text(kTone), "&Tone");
    EXPECT_EQ(w.text(kKey), "Ke&y");
    for (int id : {kCharacterSpeedLabel, kWordSpeedLabel, kPortLabel}) {
        EXPECT_TRUE(w.controlAs<QLabel>(id)->alignment() & Qt::AlignRight) << id;
    }
    for (int list : {kCharacterSpeed, kWordSpeed}) {
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
    for (int id : {kPortLabel, kCharacterSpeedLabel, kWordSpeedLabel, kSettingsBox, kPracticeBox,
                   kLessonBox}) {
        EXPECT_EQ(w.control(id)->palette().color(QPalette::WindowText), QColor(Qt::black)) << id;
        EXPECT_EQ(w.control(id)->palette().color(QPalette::Window), QColor(150, 255, 255)) << id;
    }
}

TEST(EarkeyMainMenu, ElevenGroups) {
    TestProgram program(Edition::Earkey, kElevenGroups);
    Started started;
    MenuWindow w(program.app, earkey::kMainMenu, started.openers());
    EXPECT_EQ(w.windowTitle().toStdString(),
              "Earkey v1.01   Morse Code Practice for White Stick users    by Q Q 0 Q Q");
    EXPECT_EQ(w.text(lessonButton(1)), "E T I M ");
    EXPECT_EQ(w.text(lessonButton(9)), "J Z ");
    EXPECT_EQ(w.text(lessonButton(10)), "Numbers");
    EXPECT_EQ(w.text(lessonButton(11)), "Punctuation");
    EXPECT_TRUE(w.controlAs<QPushButton>(lessonButton(1))->isDefault());
    EXPECT_FALSE(w.controlAs<QPushButton>(lessonButton(2))->isDefault());
    EXPECT_EQ(w.text(kThirtyWords), "30 word test");
    EXPECT_EQ(w.text(kQsos), "Random Q S Ohs");
    EXPECT_EQ(w.text(kMessage), "Type a Message");
    EXPECT_EQ(w.text(kFile), "Send a File");
    EXPECT_EQ(w.text(kStraightKey), "Straight Key Send");
    EXPECT_EQ(w.text(kPaddleKey), "Paddle Key Send");
    EXPECT_EQ(w.text(buttonOf(exercise::kKochTrainer)), "Koch Trainer");
    EXPECT_EQ(w.text(buttonOf(exercise::kProgress)), "Progress");
    EXPECT_EQ(w.text(kPracticeBox), "Practice");
    expectSettings(w);
    // Buttons carry no mnemonics and are not coloured.
    for (int id : {lessonButton(1), lessonButton(10), kThirtyWords, kQsos, kMessage, kFile,
                   kStraightKey, kPaddleKey}) {
        EXPECT_EQ(w.text(id).find('&'), std::string::npos) << id;
    }
}

TEST(EarkeyMainMenu, OneAndNoGroups) {
    TestProgram one(Edition::Earkey, {"ETIM"});
    MenuWindow w1(one.app, earkey::kMainMenu, {});
    EXPECT_EQ(w1.text(lessonButton(1)), "Punctuation");
    EXPECT_EQ(w1.control(lessonButton(2)), nullptr);

    TestProgram none(Edition::Earkey, {});
    MenuWindow w0(none.app, earkey::kMainMenu, {});
    EXPECT_EQ(w0.control(lessonButton(1)), nullptr);
    expectSettings(w0);

    TestProgram two(Edition::Earkey, {"ETIM", "+@"});
    MenuWindow w2(two.app, earkey::kMainMenu, {});
    EXPECT_EQ(w2.text(lessonButton(1)), "Numbers");
    EXPECT_EQ(w2.text(lessonButton(2)), "Punctuation");
}

TEST(EarkeyMainMenu, StartsOnTheFirstLessonWithDefaultSettings) {
    TestProgram program(Edition::Earkey, kElevenGroups);
    MenuWindow w(program.app, earkey::kMainMenu, {});
    ASSERT_TRUE(showActive(w));
    EXPECT_EQ(w.focusedId(), lessonButton(1));
    EXPECT_EQ(w.text(kCharacterSpeed), "12");
    EXPECT_EQ(w.text(kWordSpeed), "12");
    EXPECT_EQ(w.text(kPort), "1");
    // Tab walks the lesson buttons, the practice buttons, both lists, the port box and the
    // settings buttons, and comes back to the first lesson; the group boxes and labels are passed.
    std::vector<int> expected;
    for (int n = 2; n <= 11; ++n)
        expected.push_back(lessonButton(n));
    for (const ExerciseButton& button : exerciseRegistry())
        if (button.group == ButtonGroup::Practice)
            expected.push_back(button.id);
    expected.insert(expected.end(), {kCharacterSpeed, kWordSpeed, kPort});
    for (const ExerciseButton& button : exerciseRegistry())
        if (button.group == ButtonGroup::Settings)
            expected.push_back(button.id);
    expected.push_back(lessonButton(1));
    std::vector<int> walk;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        walk.push_back(w.focusedId());
    }
    EXPECT_EQ(walk, expected);
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
        w = std::make_unique<keytut::ui::MenuWindow>(program.app, earkey::kMainMenu,
                                                     ExerciseOpeners{});
    } else {
        w = std::make_unique<keytut::ui::MenuWindow>(program.app, keyview::kMainWindow,
                                                     ExerciseOpeners{});
    }
    ASSERT_TRUE(showActive(*w));
    const Timing& t = program.tutor.timing;
    auto shown = [&] { return w->text(kCharacterSpeed) + "/" + w->text(kWordSpeed); };
    EXPECT_EQ(t.charDotSamples, 767);

    choose(*w, kWordSpeed, 4);  // word 20 while characters at 12: characters follow up
    EXPECT_EQ(shown(), "20/20");
    EXPECT_EQ(t.charDotSamples, 460);
    EXPECT_EQ(t.wordDotSamples, 460);

    choose(*w, kCharacterSpeed, 1);  // characters 12 below word 20: the word speed follows down
    EXPECT_EQ(shown(), "12/12");
    choose(*w, kCharacterSpeed, 0);  // characters 5: word speed down to 5
    EXPECT_EQ(shown(), "5/5");
    EXPECT_EQ(t.charDotSamples, 1840);
    EXPECT_EQ(t.wordDotSamples, 1840);

    choose(*w, kCharacterSpeed, 1);  // characters 12, word stays at 5 (slower is allowed)
    choose(*w, kWordSpeed, 1);       // word 12
    choose(*w, kCharacterSpeed, 5);  // characters 25 leave the word speed at 12
    EXPECT_EQ(shown(), "25/12");
    EXPECT_EQ(t.charDotSamples, 368);
    EXPECT_EQ(t.wordDotSamples, 767);

    choose(*w, kWordSpeed, 0);  // word 5 while characters 25: only the word speed changes
    EXPECT_EQ(shown(), "25/5");
    EXPECT_EQ(t.wordDotSamples, 1840);
    choose(*w, kWordSpeed, 6);  // word 30 above characters 25: characters up to 30
    EXPECT_EQ(shown(), "30/30");
    EXPECT_EQ(t.charDotSamples, 307);

    // A highlight moving in an open list is no choice.
    emit w->controlAs<QComboBox>(kCharacterSpeed)->highlighted(0);
    EXPECT_EQ(t.charDotSamples, 307);

    w->controlAs<QComboBox>(kCharacterSpeed)->setCurrentIndex(6);

    // The keyboard on a closed list chooses too.
    w->focus(kWordSpeed);
    QTest::keyClick(w->control(kWordSpeed), Qt::Key_Up);
    EXPECT_EQ(shown(), "30/25");
    EXPECT_EQ(t.wordDotSamples, 368);
    w->focus(kCharacterSpeed);
    QTest::keyClick(w->control(kCharacterSpeed), Qt::Key_Home);
    EXPECT_EQ(shown(), "5/5");
    EXPECT_EQ(t.charDotSamples, 1840);
}

INSTANTIATE_TEST_SUITE_P(BothEditions, SpeedRule, kBothEditions, editionName);

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
        w = std::make_unique<keytut::ui::MenuWindow>(program.app, earkey::kMainMenu,
                                                     ExerciseOpeners{});
    } else {
        w = std::make_unique<keytut::ui::MenuWindow>(program.app, keyview::kMainWindow,
                                                     ExerciseOpeners{});
    }
    ASSERT_TRUE(showActive(*w));
    EXPECT_EQ(description(w->control(kCharacterSpeed)), "12");
    EXPECT_EQ(description(w->control(kWordSpeed)), "12");
    EXPECT_EQ(description(w->control(kPort)), "7");

    w->focus(kCharacterSpeed);
    const std::vector<std::pair<int, std::string>> steps = {
        {Qt::Key_Down, "15"}, {Qt::Key_Up, "12"}, {Qt::Key_Up, "5, Word speed lowered to 5"}};
    for (const auto& [key, said] : steps) {
        QTest::keyClick(w->control(kCharacterSpeed), static_cast<Qt::Key>(key));
        EXPECT_EQ(announced(), said);
        EXPECT_EQ(w->focusedId(), kCharacterSpeed);
    }
    EXPECT_EQ(description(w->control(kWordSpeed)), "5");
    w->focus(kWordSpeed);
    QTest::keyClick(w->control(kWordSpeed), Qt::Key_End);
    EXPECT_EQ(announced(), "30, Character speed raised to 30");
    EXPECT_EQ(description(w->control(kCharacterSpeed)), "30");

    // Tab into the port box: the caret after the text, nothing selected.
    QTest::keyClick(w->control(kWordSpeed), Qt::Key_Tab);
    auto* port = w->controlAs<QLineEdit>(kPort);
    ASSERT_EQ(w->focusedId(), kPort);
    EXPECT_FALSE(port->hasSelectedText());
    EXPECT_EQ(port->cursorPosition(), 1);
    QTest::keyClick(port, Qt::Key_Backspace);
    QTest::keyClicks(port, "2");
    EXPECT_EQ(description(port), "2");

    // Closing gives the port back to be kept.
    w->cancel();
    EXPECT_EQ(program.app.settings().port(), "2");
}

INSTANTIATE_TEST_SUITE_P(BothEditions, HeardSettings, kBothEditions, editionName);

// The settings are kept as they are chosen: each change of a speed or of the port box at once,
// however the program ends later. When they cannot be kept the learner is told, once. The port
// box and the window's size.
class MainWindowSettingsAndSize : public ::testing::TestWithParam<Edition> {
  protected:
    std::unique_ptr<MenuWindow> open(TestProgram& program) {
        std::unique_ptr<MenuWindow> w;
        if (GetParam() == Edition::Earkey)
            w = std::make_unique<keytut::ui::MenuWindow>(program.app, earkey::kMainMenu,
                                                         ExerciseOpeners{});
        else
            w = std::make_unique<keytut::ui::MenuWindow>(program.app, keyview::kMainWindow,
                                                         ExerciseOpeners{});
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
        w = std::make_unique<keytut::ui::MenuWindow>(program.app, earkey::kMainMenu,
                                                     editionOpeners(program.app));
    else
        w = std::make_unique<keytut::ui::MenuWindow>(program.app, keyview::kMainWindow,
                                                     editionOpeners(program.app));
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

INSTANTIATE_TEST_SUITE_P(BothEditions, MainWindowSettingsAndSize, kBothEditions, editionName);

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
    MenuWindow w(program.app, earkey::kMainMenu, started.openers());
    ASSERT_TRUE(showActive(w));
    QTest::keyClick(w.control(lessonButton(1)), Qt::Key_Return);  // the focused first lesson
    w.focus(lessonButton(3));
    QTest::keyClick(w.control(lessonButton(3)), Qt::Key_Space);
    QTest::keyRelease(w.control(lessonButton(3)), Qt::Key_Space);
    w.focus(kCharacterSpeed);
    QTest::keyClick(w.control(kCharacterSpeed), Qt::Key_Return);  // the default button, lesson 1
    for (int id : {lessonButton(11), kThirtyWords, kQsos, kMessage, kFile})
        w.controlAs<QPushButton>(id)->click();
    w.setText(kPort, "3");
    choose(w, kCharacterSpeed, 3);
    w.controlAs<QPushButton>(kStraightKey)->click();
    EXPECT_EQ(program.app.settings().port(), "3");
    w.setText(kPort, "12");
    w.controlAs<QPushButton>(kPaddleKey)->click();
    EXPECT_EQ(program.app.settings().port(), "12");
    EXPECT_EQ(program.app.settings().characterSpeedText(), "18");
    // The key screen is that of the number in the box, reached with its mnemonic too.
    w.setText(kPort, "4");
    QTest::keyClick(w.control(kCharacterSpeed), Qt::Key_Y, Qt::AltModifier);
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
                w = std::make_unique<keytut::ui::MenuWindow>(program.app, earkey::kMainMenu,
                                                             ExerciseOpeners{});
            } else {
                w = std::make_unique<keytut::ui::MenuWindow>(program.app, keyview::kMainWindow,
                                                             ExerciseOpeners{});
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
    MenuWindow w(program.app, keyview::kMainWindow, started.openers());
    EXPECT_EQ(w.windowTitle().toStdString(),
              "Keyview v1.02     A Morse Code Tutor program for Windows       by QQ0QQ");
    for (int i = 1; i <= 11; ++i) {
        EXPECT_EQ(w.text(lessonButton(i)), "&" + std::to_string(i));
        EXPECT_EQ(w.text(keyviewGroupLabel(i)), kElevenGroups[static_cast<std::size_t>(i - 1)]);
        EXPECT_EQ(w.control(keyviewGroupLabel(i))->palette().color(QPalette::Window),
                  QColor(150, 255, 255));
        EXPECT_FALSE(w.controlAs<QPushButton>(lessonButton(i))->isDefault());
    }
    const std::vector<std::pair<const char*, std::pair<std::string, std::string>>> practice = {
        {exercise::kThirtyWords, {"&Words", "Send 30 words"}},
        {exercise::kQsos, {"&QSOs", "Send QSOs"}},
        {exercise::kMessage, {"&Message", "Type a message"}},
        {exercise::kFile, {"&File", "Send a file"}},
        {exercise::kStraightKey, {"&Send", "Straight Key"}},
        {exercise::kPaddleKey, {"S&end", "Paddle Key"}},
        {exercise::kKochTrainer, {"K&och", "Koch trainer"}},
        {exercise::kProgress, {"P&rogress", "Your progress"}}};
    for (const auto& [name, captions] : practice) {
        EXPECT_EQ(w.text(buttonOf(name)), captions.first) << name;
        EXPECT_EQ(w.text(descriptionOf(name)), captions.second) << name;
    }
    expectSettings(w);
    // The practice buttons are not coloured (their ids lie above groupCount + 210).
    EXPECT_NE(w.control(kThirtyWords)->palette().color(QPalette::Button), QColor(150, 255, 255));
}

TEST(KeyviewMainWindow, NoGroupsAndNoFocusMoveAtStart) {
    TestProgram program(Edition::Keyview, {});
    MenuWindow w(program.app, keyview::kMainWindow, {});
    EXPECT_EQ(w.control(lessonButton(1)), nullptr);
    EXPECT_EQ(w.control(keyviewGroupLabel(1)), nullptr);
    // With no lesson groups the descriptions still get the screen colour.
    EXPECT_EQ(w.control(descriptionOf(exercise::kFile))->palette().color(QPalette::Window),
              QColor(150, 255, 255));

    TestProgram one(Edition::Keyview, {"+@!=/.,?"});
    MenuWindow w1(one.app, keyview::kMainWindow, {});
    EXPECT_EQ(w1.text(lessonButton(1)), "&1");
    EXPECT_EQ(w1.text(keyviewGroupLabel(1)),
              "+@!=/.,?");  // Keyview does not rename the last groups
    ASSERT_TRUE(showActive(w1));
    EXPECT_EQ(w1.text(kCharacterSpeed), "12");
    EXPECT_EQ(w1.text(kPort), "1");
}

TEST(KeyviewMainWindow, MnemonicsStartExercisesAndMoveTheFocus) {
    TestProgram program(Edition::Keyview, kElevenGroups);
    Started started;
    MenuWindow w(program.app, keyview::kMainWindow, started.openers());
    ASSERT_TRUE(showActive(w));
    w.focus(lessonButton(1));
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
    EXPECT_EQ(w.focusedId(), kCharacterSpeed);
    alt(Qt::Key_P);
    EXPECT_EQ(w.focusedId(), kPort);
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
    EXPECT_EQ(reached, (std::set<int>{kWordSpeed, kStraightKey}));
    EXPECT_EQ(started.calls.size(), 6u);
}

}  // namespace
}  // namespace keytut::ui
