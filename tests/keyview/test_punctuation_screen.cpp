// Keyview's punctuation screen: its buttons and labels for the group, playing a sign and leaving.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "exercises/lesson.h"
#include "keyview/practice_layouts.h"
#include "keyview_rig.h"

namespace keyview {
namespace {

// The button of character i (1-based) of the group, and the description beside it.
int button(int i) {
    return punctuation::kFirstSignButton + i - 1;
}
int description(int i) {
    return punctuation::kFirstDescription + i - 1;
}

using keytut::ui::testing::press;
using punctuation::kExit;
using punctuation::kHeading;
using testing::KeyviewRig;
using testing::settle;
using testing::showActive;

TEST(KeyviewPunctuationScreen, ButtonsAndDescriptionsForThePunctuationGroup) {
    KeyviewRig rig;
    ASSERT_EQ(rig.begin(11), keytut::LessonKind::Punctuation);
    ASSERT_EQ(rig.opened.text, "+@!=/.,?");
    Practice::Punctuation screen(rig.app(), rig.opened);

    EXPECT_EQ(screen.windowTitle().toStdString(), "Punctuation");
    EXPECT_EQ(screen.size(), screen.toPixels(0, 0, 300, 220).size());
    EXPECT_EQ(screen.font(), keytut::ui::dialogFont(keytut::ui::DialogFont::SansSerif8));
    EXPECT_EQ(screen.parentWidget(), &rig.owner);
    EXPECT_FALSE(screen.windowFlags() & Qt::WindowCloseButtonHint);

    EXPECT_EQ(screen.text(kHeading), "Familiarise yourself with these punctuation characters");
    const std::vector<std::string> captions{"CT", "AR", "VA", "BT", "/", ".", ",", "?"};
    const std::vector<std::string> descriptions{
        "Start of Message", "End of Message", "End of Transmission", "Pause", "Slash",
        "Full Stop",        "Comma",          "Question Mark"};
    for (int i = 1; i <= 8; ++i) {
        const auto index = static_cast<std::size_t>(i - 1);
        ASSERT_NE(screen.controlAs<QPushButton>(button(i)), nullptr) << i;
        EXPECT_EQ(screen.text(button(i)), captions[index]) << i;
        ASSERT_NE(screen.controlAs<QLabel>(description(i)), nullptr) << i;
        EXPECT_EQ(screen.text(description(i)), descriptions[index]) << i;
    }
    EXPECT_EQ(screen.control(button(9)), nullptr);
    EXPECT_EQ(screen.text(kExit), "Exit");
}

TEST(KeyviewPunctuationScreen, ButtonsPlayTheirSignsAndExitCloses) {
    KeyviewRig rig;
    rig.begin(11);
    Practice::Punctuation screen(rig.app(), rig.opened);
    ASSERT_TRUE(showActive(screen));

    QTest::mouseClick(screen.control(button(3)), Qt::LeftButton);
    EXPECT_EQ(rig.heard(), "!");
    press(screen, button(8));
    EXPECT_EQ(rig.heard(), "!?");

    // Enter on a focused button presses it; the end of the sign is not looked at.
    screen.focus(button(1));
    QTest::keyClick(screen.control(button(1)), Qt::Key_Return);
    EXPECT_EQ(rig.heard(), "!?+");
    rig.wave->runUntilIdle();
    settle();

    // Return away from the buttons does nothing; there is no button past the group's.
    screen.pressReturn();
    for (int id : {1, button(0), button(9), button(10), button(11), description(1)})
        EXPECT_FALSE(press(screen, id)) << id;
    EXPECT_EQ(rig.heard(), "!?+");
    EXPECT_FALSE(screen.ended());

    QTest::mouseClick(screen.control(kExit), Qt::LeftButton);
    EXPECT_TRUE(screen.ended());
    EXPECT_FALSE(screen.isVisible());
}

TEST(KeyviewPunctuationScreen, LettersAmongTheMarksShowThemselves) {
    KeyviewRig rig;
    rig.tutor().data.lessonGroups[0] = "A.B&";
    ASSERT_EQ(rig.begin(1), keytut::LessonKind::Punctuation);
    Practice::Punctuation screen(rig.app(), rig.opened);
    // A button and a description for each of the four characters, and no more.
    EXPECT_EQ(screen.controlIds(),
              (std::vector<int>{kHeading, button(1), description(1), button(2), description(2),
                                button(3), description(3), button(4), description(4), kExit}));
    EXPECT_EQ(screen.text(button(1)), "A");
    EXPECT_EQ(screen.text(description(1)), "");
    EXPECT_EQ(screen.text(button(2)), ".");
    EXPECT_EQ(screen.text(description(2)), "Full Stop");
    EXPECT_EQ(screen.text(button(3)), "B");
    // '&' is shown, not taken for a mnemonic.
    EXPECT_EQ(screen.controlAs<QPushButton>(button(4))->text(), "&&");
    press(screen, button(3));
    EXPECT_EQ(rig.heard(), "B");
}

}  // namespace
}  // namespace keyview
