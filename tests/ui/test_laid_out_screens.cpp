// The shared message, thirty-word test, QSO, punctuation and lesson screens built from layouts of
// the tests' own, with ids and keys no edition uses: every control, name, label, key and button
// comes from the layout.
#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <filesystem>

#include "platform/ui/lesson_screen.h"
#include "platform/ui/message_screen.h"
#include "platform/ui/punctuation_screen.h"
#include "platform/ui/qso_screen.h"
#include "platform/ui/word_test_screen.h"
#include "tests/exercises/temp_folder.h"
#include "tests/ui/test_support.h"

namespace {

using namespace keytut;
using namespace keytut::ui;
using keytut::testing::TempFolder;
using keytut::ui::testing::ExerciseProgram;
using keytut::ui::testing::press;
using keytut::ui::testing::pressKey;
using keytut::ui::testing::settle;
using keytut::ui::testing::showActive;

std::string accessibleName(QWidget* control) {
    return QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name).toStdString();
}

class LaidOutScreens : public ::testing::Test {
  protected:
    LaidOutScreens() { program.app.setMainWindow(&owner); }

    QWidget owner;
    ExerciseProgram program{Edition::Earkey, KEYTUT_DATA_DIR, 3};
};

MessageLayout messageLayout() {
    MessageLayout layout;
    layout.screen = {"Message", 200, 80, DialogFont::SansSerif8, FrameKind::Popup};
    layout.controls = {
        {31, ControlKind::PushButton, "Go", 5, 50, 30, 15},
        {32, ControlKind::PushButton, "Leave", 40, 50, 30, 15},
        {33, ControlKind::Label, "Words:", 5, 5, 30, 10},
        {34, ControlKind::Edit, "", 40, 5, 150, 12},
    };
    layout.names = {{31, "Send it"}};
    layout.labels = {{33, 34}};
    layout.openingFocus = 34;
    layout.exitButton = 32;
    layout.textBox = 34;
    layout.sendButton = 31;
    return layout;
}

TEST_F(LaidOutScreens, AMessageScreenTakesItsControlsNamesButtonsAndFocusFromTheLayout) {
    MessageScreen screen(program.app, messageLayout());
    ASSERT_TRUE(showActive(screen));
    settle();
    EXPECT_EQ(screen.windowTitle().toStdString(), "Message");
    EXPECT_EQ(screen.controlIds(), (std::vector<int>{31, 32, 33, 34}));
    EXPECT_EQ(screen.focusedId(), 34);
    EXPECT_EQ(accessibleName(screen.control(34)), "Words:");
    EXPECT_EQ(accessibleName(screen.control(31)), "Send it");

    // The text box the layout names is sent, by its button and by Return in it.
    screen.setText(34, "EE");
    ASSERT_TRUE(press(screen, 31));
    program.wave->runUntilIdle();
    pressKey(screen, Qt::Key_Return);
    program.wave->runUntilIdle();
    settle();
    EXPECT_EQ(program.heard(), "EEEE");
    ASSERT_TRUE(press(screen, 32));
    EXPECT_TRUE(screen.ended());
}

// A button that starts, then the word box, which a screen reader speaks where the layout says so.
WordTestLayout wordTestLayout(bool spoken) {
    WordTestLayout layout;
    layout.screen = {"Words", 160, 100, DialogFont::Courier8, FrameKind::Popup};
    layout.controls = {
        {41, ControlKind::PushButton, "Go", 5, 5, 30, 15},
        {42, ControlKind::SpokenText, "", 5, 30, 150, 10, style::TabStop},
    };
    layout.openingFocus = 41;
    layout.wordBox = 42;
    layout.spoken = spoken;
    layout.startButton = 41;
    return layout;
}

TEST_F(LaidOutScreens, AWordBoxIsSpokenOnlyWhereTheLayoutSaysSo) {
    program.tutor.data.wordList.clear();
    for (bool spoken : {false, true}) {
        SCOPED_TRACE(spoken ? "spoken" : "not spoken");
        WordTestScreen screen(program.app, wordTestLayout(spoken));
        ASSERT_TRUE(showActive(screen));
        settle();
        ASSERT_EQ(screen.focusedId(), 41);
        ASSERT_TRUE(press(screen, 41));
        settle();
        EXPECT_EQ(screen.text(42), kNoWordsMessage);
        // Speaking moves the focus onto the box; a box that is only shown leaves it.
        EXPECT_EQ(screen.focusedId(), spoken ? 42 : 41);
    }
    EXPECT_EQ(program.writes(), 0u);
}

TEST_F(LaidOutScreens, TheWordTestTakesTheStartKeyAndTheReadBackKeysOfTheLayout) {
    for (bool readBack : {true, false}) {
        SCOPED_TRACE(readBack ? "read back" : "no read back");
        WordTestLayout layout = wordTestLayout(true);
        layout.startKey = Qt::Key_F5;
        layout.readBackKeys = readBack;
        WordTestScreen screen(program.app, layout);
        ASSERT_TRUE(showActive(screen));
        settle();
        const std::size_t before = program.writes();
        pressKey(screen, Qt::Key_F5);
        settle();
        ASSERT_GT(program.writes(), before);
        const std::string list = program.tutor.sender.text();
        const std::string first = list.substr(0, list.find("\r\n"));
        program.wave->runUntilIdle();
        settle();
        pressKey(screen, Qt::Key_Down);
        settle();
        EXPECT_EQ(screen.text(42), readBack ? first : "");
        EXPECT_EQ(screen.test().review().index(), readBack ? 1 : 0);
    }
}

// QSO files in a folder of the test's own, which the screens read from as the working folder.
class QsoScreens : public LaidOutScreens {
  protected:
    QsoScreens() : saved_(std::filesystem::current_path()) {
        std::filesystem::current_path(folder.path);
        folder.write("A.TXT", "+ EE KN\r\n");
        folder.write("B.TXT", "+ TT\r\nR R KN\r\n");
        program.tutor.data.qsoFiles = {"B.TXT", "A.TXT", "MISSING.TXT"};
    }
    ~QsoScreens() override { std::filesystem::current_path(saved_); }

    // What was heard from buffer `from` on, without the empty buffers of line feeds.
    std::string heard(std::size_t from) const {
        std::string text = program.heard(from);
        std::erase(text, '_');
        return text;
    }

    TempFolder folder;

  private:
    std::filesystem::path saved_;
};

// Whole QSOs chosen in a drop-down list and sent with a key of the layout's.
QsoLayout wholeQsoLayout() {
    QsoLayout layout;
    layout.screen = {"QSOs", 200, 100, DialogFont::Courier8, FrameKind::Popup};
    layout.controls = {
        {51, ControlKind::DropDownList, "", 5, 5, 60, 50},
        {52, ControlKind::SpokenText, "", 5, 30, 150, 12, style::TabStop},
    };
    layout.names = {{52, "Line"}};
    layout.openingFocus = 51;
    layout.fileList = 51;
    layout.sendKey = Qt::Key_F5;
    layout.lineBox = 52;
    return layout;
}

TEST_F(QsoScreens, WholeQsosTakeTheirFileListSendKeyAndLineBoxFromTheLayout) {
    QsoScreen screen(program.app, wholeQsoLayout());
    ASSERT_TRUE(showActive(screen));
    settle();
    EXPECT_EQ(screen.focusedId(), 51);
    EXPECT_EQ(screen.qsos().file().name, "A.TXT");
    // Moving in the open list loads the file moved to.
    screen.setSelection(51, 1);
    emit screen.controlAs<QComboBox>(51)->highlighted(1);
    EXPECT_EQ(screen.qsos().file().name, "B.TXT");
    pressKey(screen, Qt::Key_Return);
    EXPECT_EQ(program.writes(), 0u);
    pressKey(screen, Qt::Key_F5);
    program.wave->runUntilIdle();
    settle();
    EXPECT_EQ(heard(0), "+ TT R R KN");
    pressKey(screen, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(screen.text(52), " C T  TT");
    EXPECT_EQ(screen.focusedId(), 52);
    // A file that cannot be read is said in the line box, and sends nothing.
    screen.setSelection(51, 2);
    emit screen.controlAs<QComboBox>(51)->activated(2);
    EXPECT_EQ(screen.qsos().file().qsoCount(), 0u);
    EXPECT_NE(screen.text(52), "");
    EXPECT_EQ(screen.focusedId(), 52);
    EXPECT_TRUE(program.messages.messages.empty());
}

// Runs chosen in a list box, with Start and Stop buttons.
QsoLayout qsoRunLayout() {
    QsoLayout layout;
    layout.screen = {"Runs", 200, 100, DialogFont::Courier8, FrameKind::Popup};
    layout.controls = {
        {61, ControlKind::ListBox, "", 5, 5, 60, 50, style::Selectable},
        {62, ControlKind::ListBox, "", 70, 5, 120, 80},
        {63, ControlKind::PushButton, "Go", 5, 60, 25, 15},
        {64, ControlKind::PushButton, "Halt", 35, 60, 25, 15},
    };
    layout.practice = QsoPractice::Runs;
    layout.fileList = 61;
    layout.list = 62;
    layout.startButton = 63;
    layout.stopButton = 64;
    return layout;
}

TEST_F(QsoScreens, RunsTakeTheirFileListListAndButtonsFromTheLayout) {
    QsoScreen screen(program.app, qsoRunLayout());
    ASSERT_TRUE(showActive(screen));
    settle();
    EXPECT_EQ(screen.runs().file().name, "A.TXT");
    // A move in the list box loads the file moved to.
    screen.controlAs<QListWidget>(61)->setCurrentRow(1);
    EXPECT_EQ(screen.runs().file().name, "B.TXT");
    ASSERT_TRUE(press(screen, 63));
    ASSERT_TRUE(press(screen, 64));
    for (int line = 0; line < 2; ++line) {
        program.wave->runUntilIdle();
        settle();
    }
    EXPECT_EQ(screen.items(62), (std::vector<std::string>{"+ TT", "R R KN"}));
    EXPECT_FALSE(screen.runs().running());
    // Without a line box, a file that cannot be read is shown in a message box.
    screen.controlAs<QListWidget>(61)->setCurrentRow(2);
    EXPECT_EQ(program.messages.messages.size(), 1u);
    ASSERT_TRUE(press(screen, 63));
    EXPECT_EQ(screen.items(62).back(), std::string(kKeyviewNoStartLine));
}

// Buttons from 71 on over a group of two signs, and Return, which names no sign here.
PunctuationLayout punctuationLayout(const LessonState& opened) {
    PunctuationLayout layout;
    layout.screen = {"Signs", 200, 100, DialogFont::SansSerif8, FrameKind::Popup};
    int id = 71;
    for (const SignButton& sign : signButtons(opened.text))
        layout.controls.push_back(
            {id++, ControlKind::PushButton, sign.keyviewCaption, 5, 5 + 20 * (id - 71), 40, 15});
    layout.firstSignButton = 71;
    return layout;
}

TEST_F(LaidOutScreens, ThePunctuationScreenBindsTheButtonsOfTheLayoutToTheGroupsSigns) {
    LessonState opened;
    opened.text = "+=";
    PunctuationScreen screen(program.app, punctuationLayout(opened), opened);
    ASSERT_TRUE(showActive(screen));
    settle();
    EXPECT_EQ(screen.controlIds(), (std::vector<int>{71, 72}));
    EXPECT_EQ(screen.text(72), "BT");
    ASSERT_TRUE(press(screen, 72));
    program.wave->runUntilIdle();
    settle();
    EXPECT_EQ(program.heard(), "=");
    // Return names no sign in a message box: none opens, and nothing more is heard.
    bool boxShown = false;
    QTimer::singleShot(50, [&boxShown] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            boxShown = true;
            box->done(QMessageBox::Ok);
        }
    });
    screen.focus(72);
    screen.pressReturn();
    QTest::qWait(100);
    settle();
    EXPECT_FALSE(boxShown);
    EXPECT_EQ(program.heard(), "=");
}

// A text as a label shows it, with line feeds for its CR LFs.
std::string lf(std::string text) {
    for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;)
        text.replace(at, 2, "\n");
    return text;
}

// Lesson 1 of the program's groups, opened as the main window would.
LessonState firstLesson(ExerciseProgram& program) {
    LessonState opened;
    EXPECT_EQ(beginLesson(opened, program.tutor.data.lessonGroups, 1), LessonKind::Character);
    return opened;
}

// Spoken boxes worked with keys of the layout's own, in another tab order than Earkey's.
LessonLayout spokenLessonLayout() {
    LessonLayout layout;
    layout.characterBox = {81, ControlKind::SpokenText, "", 265, 2, 10, 10, style::TabStop};
    layout.instructions = {82, ControlKind::SpokenText, "Hear them", 5, 16, 240,
                           40, style::TabStop};
    layout.resultsBox = {83, ControlKind::SpokenText, "", 200, 65, 70, 12, style::TabStop};
    layout.controls = {layout.instructions, layout.characterBox};
    layout.openingFocus = 82;
    layout.startKey = Qt::Key_F6;
    layout.nextStageKey = Qt::Key_F7;
    return layout;
}

TEST_F(LaidOutScreens, ALessonRebuildsAndRemovesTheBoxesOfItsLayoutAsTheStagesChange) {
    LessonScreen screen(program.app, spokenLessonLayout(), firstLesson(program));
    ASSERT_TRUE(showActive(screen));
    settle();
    EXPECT_EQ(screen.windowTitle().toStdString(), "Lesson 1  E T I M ");
    EXPECT_EQ(screen.controlIds(), (std::vector<int>{82, 81}));
    EXPECT_EQ(screen.focusedId(), 82);
    // No repeat key in this layout: Space plays nothing; the start key plays the next character.
    pressKey(screen, Qt::Key_Space);
    settle();
    EXPECT_EQ(program.writes(), 0u);
    pressKey(screen, Qt::Key_F6);
    settle();
    EXPECT_GT(program.writes(), 0u);
    program.wave->runUntilIdle();
    settle();

    pressKey(screen, Qt::Key_F7);
    settle();
    ASSERT_EQ(screen.lesson().stage(), 1);
    EXPECT_EQ(screen.text(82), lf(std::string(kEarkeyRecognitionInstructions)));
    // Recognition starts: the instructions go and the focus is on the character box.
    pressKey(screen, Qt::Key_F6);
    settle();
    EXPECT_EQ(screen.controlIds(), std::vector<int>{81});
    EXPECT_EQ(screen.focusedId(), 81);
    program.wave->runUntilIdle();
    settle();
    // The group test: the instructions come back after the box, then the results box.
    pressKey(screen, Qt::Key_F7);
    settle();
    EXPECT_EQ(screen.controlIds(), (std::vector<int>{81, 82, 83}));
    EXPECT_EQ(screen.lesson().stage(), 2);
}

// Buttons, a key-capture box and a Start button added for recognition, as Keyview's are.
LessonLayout buttonLessonLayout() {
    LessonLayout layout;
    layout.instructions = {91, ControlKind::Label, "Press a key", 5, 16, 180, 30};
    layout.characterBox = {94, ControlKind::Label, "", 265, 14, 6, 10, style::Border};
    layout.resultsBox = {96, ControlKind::Label, "", 200, 5, 22, 162, style::Border};
    layout.startButton = {95, ControlKind::PushButton, "Go", 260, 160, 25, 15};
    layout.controls = {
        layout.instructions,
        {92, ControlKind::PushButton, "More", 260, 180, 25, 15},
        {93, ControlKind::Edit, "", 265, 34, 0, 0, style::NoBorder},
        layout.characterBox,
    };
    layout.openingFocus = 93;
    layout.keyCapture = 93;
    layout.recognitionControls = {94, 93, 92};
    layout.nextButton = 92;
    layout.returnStarts = true;
    return layout;
}

TEST(LaidOutLessonScreens, ALessonAddsAndRemovesTheButtonsAndBoxesOfItsLayout) {
    QWidget owner;
    ExerciseProgram program{Edition::Keyview, KEYTUT_DATA_DIR, 3};
    program.app.setMainWindow(&owner);
    LessonScreen screen(program.app, buttonLessonLayout(), firstLesson(program));
    ASSERT_TRUE(showActive(screen));
    settle();
    EXPECT_EQ(screen.focusedId(), 93);
    ASSERT_TRUE(press(screen, 92));
    settle();
    ASSERT_EQ(screen.lesson().stage(), 1);
    EXPECT_EQ(screen.controlIds(), (std::vector<int>{91, 92, 93, 94, 95}));
    // Start sends a character and gives the focus back to the key-capture box.
    ASSERT_TRUE(press(screen, 95));
    settle();
    EXPECT_GT(program.writes(), 0u);
    EXPECT_EQ(screen.focusedId(), 93);
    program.wave->runUntilIdle();
    settle();
    ASSERT_TRUE(press(screen, 92));
    settle();
    EXPECT_EQ(screen.controlIds(), (std::vector<int>{91, 95, 96}));
    // Return where no button takes it starts the group test, as Start does.
    const std::size_t before = program.writes();
    screen.pressReturn();
    settle();
    EXPECT_GT(program.writes(), before);
    EXPECT_TRUE(screen.lesson().testSending());
}

}  // namespace
