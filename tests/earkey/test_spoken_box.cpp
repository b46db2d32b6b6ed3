// The speaking helper: a text is spoken by moving the focus onto a new object that already holds
// the text, coming from the control before it in tab order, within the program.
#include <QLabel>
#include <QPushButton>
#include <memory>

#include "earkey_rig.h"
#include "platform/ui/spoken_box.h"

namespace earkey::testing {
namespace {

using namespace keytut::ui;

class SpeakingScreen : public Screen {
  public:
    SpeakingScreen()
        : Screen({"Speaking", 300, 220, DialogFont::Courier8, FrameKind::Popup, nullptr}) {
        createControl({110, ControlKind::PushButton, "First", 5, 100, 40, 14});
        createControl(
            {101, ControlKind::SpokenText, "", 265, 2, 10, 10, style::Border | style::TabStop});
        createControl({111, ControlKind::PushButton, "Last", 50, 100, 40, 14});
        setKeyTable({{Qt::Key_Space, Qt::NoModifier, [this] { keys.push_back("space"); }}});
    }
    std::vector<std::string> keys;

  protected:
    void cancelled() override {
        keys.push_back("escape");
        Screen::cancelled();
    }
};

struct SpeakingFixture : ::testing::Test {
    SpeakingFixture() {
        rig.screen = &screen;
        EXPECT_TRUE(showActive(screen));
    }
    EarkeyRig rig;
    SpeakingScreen screen;
};

// A named box: the learner who moves there hears its name before its text; what the program
// speaks is heard alone, however the focus came (from the box itself or from elsewhere).
TEST_F(SpeakingFixture, ANamedBoxIsNamedWhenTheLearnerMovesThereAndNotWhenItSpeaks) {
    nameForScreenReader(screen.control(101), "Word");
    screen.focus(110);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(rig.focus.back().id, 101);
    EXPECT_EQ(rig.focus.back().name, "Word");  // empty: the name alone
    for (const char* word : {"HOUSE", "TREE"}) {
        EXPECT_TRUE(screen.speak(101, word));
        EXPECT_EQ(rig.focus.back().name, word);
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(rig.focus.back().id, 111);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    EXPECT_EQ(rig.focus.back().id, 101);
    EXPECT_EQ(rig.focus.back().name, "Word: TREE");
    // Spoken from elsewhere: alone too.
    screen.focus(110);
    EXPECT_TRUE(screen.speak(101, "GARDEN"));
    EXPECT_EQ(rig.focus.back().name, "GARDEN");
    // A control that is no speaking box gets the name as its accessible name.
    nameForScreenReader(screen.control(111), "Finish");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(screen.control(111))
                  ->text(QAccessible::Name)
                  .toStdString(),
              "Finish");
}

TEST_F(SpeakingFixture, EverySpeakLandsOnANewObjectThatAlreadyHoldsTheText) {
    screen.focus(110);
    const std::vector<std::string> texts{"E", "E", "T", "E", "E", " K M R S T"};
    QWidget* last = nullptr;
    for (const std::string& text : texts) {
        const std::size_t before = rig.focus.size();
        EXPECT_TRUE(screen.speak(101, text));
        ASSERT_GT(rig.focus.size(), before) << text;
        const FocusChange& landed = rig.focus.back();
        // What the screen reader reads as the focus arrives, not only afterwards.
        EXPECT_EQ(landed.id, 101);
        EXPECT_EQ(landed.name, text);
        EXPECT_NE(landed.widget, last) << "the focus came back to the object it was on: " << text;
        EXPECT_EQ(QApplication::focusWidget(), landed.widget);
        EXPECT_EQ(screen.text(101), text);
        EXPECT_EQ(screen.focusedId(), 101);
        last = landed.widget;
    }
    // Two objects take turns; only the one holding the text is shown.
    auto* box = screen.controlAs<SpokenBox>(101);
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->current()->isVisible());
    EXPECT_FALSE(box->labels()[0]->isVisible() && box->labels()[1]->isVisible());
}

TEST_F(SpeakingFixture, TheFocusComesFromTheControlBeforeTheBoxAndPassesNothingElse) {
    screen.focus(111);
    const std::size_t mark = rig.focus.size();
    screen.speak(101, "A");
    ASSERT_EQ(rig.focus.size() - mark, 2u);
    EXPECT_EQ(rig.focus[mark].id, 110);  // passed on the way, within one handler
    EXPECT_EQ(rig.focus[mark + 1].id, 101);
    EXPECT_EQ(rig.focus[mark + 1].name, "A");
}

TEST_F(SpeakingFixture, TabVisitsTheBoxOnceAndCreationOrderHolds) {
    screen.focus(110);
    screen.speak(101, "X");  // the box's second label is now the one shown
    screen.focus(110);
    std::vector<int> visited;
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.push_back(screen.focusedId());
    }
    EXPECT_EQ(visited, (std::vector<int>{101, 111, 110, 101}));
    EXPECT_EQ(screen.text(101), "X");

    // Created again, the box goes last; speaking it now comes from the button before it.
    screen.destroyControl(101);
    screen.createControl(
        {101, ControlKind::SpokenText, "", 265, 2, 10, 10, style::Border | style::TabStop});
    settle();
    screen.focus(110);
    const std::size_t mark = rig.focus.size();
    EXPECT_TRUE(screen.speak(101, "Y"));
    ASSERT_EQ(rig.focus.size() - mark, 2u);
    EXPECT_EQ(rig.focus[mark].id, 111);
    EXPECT_EQ(rig.focus[mark + 1].name, "Y");
}

TEST_F(SpeakingFixture, KeysReachTheScreenWhileTheBoxHasTheFocus) {
    screen.speak(101, "E");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    screen.speak(101, "T");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(screen.keys, (std::vector<std::string>{"space", "escape"}));
    EXPECT_TRUE(screen.ended());
}

// After a box over the screen: what is to be said waits for the screen to be active again, and
// a screen that has gone says nothing.
TEST_F(SpeakingFixture, WhatFollowsABoxWaitsForTheScreenToBeActiveAgain) {
    QWidget box;
    ASSERT_TRUE(showActive(box));
    std::vector<std::string> said;
    whenActive(&screen, [&] { said.push_back("after the box"); });
    EXPECT_TRUE(said.empty());  // not while the box is the active window
    box.hide();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !said.empty(); }, 2000));
    EXPECT_TRUE(screen.isActiveWindow());
    whenActive(&screen, [&] { said.push_back("at once"); });
    EXPECT_EQ(said, (std::vector<std::string>{"after the box", "at once"}));

    auto gone = std::make_unique<SpeakingScreen>();
    ASSERT_TRUE(showActive(box));
    bool ran = false;
    whenActive(
        gone.get(), [&] { ran = true; }, 50);
    gone.reset();
    QTest::qWait(150);
    EXPECT_FALSE(ran);
}

}  // namespace
}  // namespace earkey::testing
