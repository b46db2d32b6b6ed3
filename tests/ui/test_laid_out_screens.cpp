// The shared message and thirty-word test screens built from layouts of the tests' own, with ids
// and keys no edition uses: every control, name, label, key and button comes from the layout.
#include <QAccessible>
#include <QLineEdit>

#include "platform/ui/message_screen.h"
#include "platform/ui/word_test_screen.h"
#include "tests/ui/test_support.h"

namespace {

using namespace keytut;
using namespace keytut::ui;
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

}  // namespace
