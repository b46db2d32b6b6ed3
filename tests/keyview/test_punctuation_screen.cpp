// Keyview's punctuation screen: its buttons and labels for the group, playing a sign and leaving.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "exercises/lesson.h"
#include "keyview/punctuation_screen.h"
#include "keyview_rig.h"

namespace keyview {
namespace {

using keytut::ui::testing::expectPlacedInPixels;
using keytut::ui::testing::Place;
using keytut::ui::testing::placeOf;
using keytut::ui::testing::press;
using testing::KeyviewRig;
using testing::settle;
using testing::showActive;

TEST(KeyviewPunctuationScreen, ButtonsAndDescriptionsForThePunctuationGroup) {
    KeyviewRig rig;
    ASSERT_EQ(rig.begin(11), keytut::LessonKind::Punctuation);
    ASSERT_EQ(rig.opened.text, "+@!=/.,?");
    PunctuationScreen screen(rig.app(), rig.opened);

    EXPECT_EQ(screen.windowTitle().toStdString(), "Punctuation");
    EXPECT_EQ(screen.size(), screen.toPixels(0, 0, 300, 220).size());
    EXPECT_EQ(screen.font(), keytut::ui::dialogFont(keytut::ui::DialogFont::SansSerif8));
    EXPECT_EQ(screen.parentWidget(), &rig.owner);
    EXPECT_FALSE(screen.windowFlags() & Qt::WindowCloseButtonHint);

    std::vector<int> ids{300};
    for (int i = 1; i <= 8; ++i) {
        ids.push_back(100 + i);
        ids.push_back(200 + i);
    }
    ids.push_back(2);
    EXPECT_EQ(screen.controlIds(), ids);

    EXPECT_EQ(screen.text(300), "Familiarise yourself with these punctuation characters");
    EXPECT_EQ(placeOf(screen, 300), (Place{10, 5, 230, 10}));
    const std::vector<std::string> captions{"CT", "AR", "VA", "BT", "/", ".", ",", "?"};
    const std::vector<std::string> descriptions{
        "Start of Message", "End of Message", "End of Transmission", "Pause", "Slash",
        "Full Stop",        "Comma",          "Question Mark"};
    for (int i = 1; i <= 8; ++i) {
        const auto index = static_cast<std::size_t>(i - 1);
        ASSERT_NE(screen.controlAs<QPushButton>(100 + i), nullptr) << i;
        EXPECT_EQ(screen.text(100 + i), captions[index]) << i;
        EXPECT_EQ(placeOf(screen, 100 + i), (Place{20, 20 * i, 25, 15})) << i;
        ASSERT_NE(screen.controlAs<QLabel>(200 + i), nullptr) << i;
        EXPECT_EQ(screen.text(200 + i), descriptions[index]) << i;
        EXPECT_EQ(placeOf(screen, 200 + i), (Place{50, 20 * i + 2, 80, 30})) << i;
    }
    EXPECT_EQ(screen.text(2), "Exit");
    EXPECT_EQ(placeOf(screen, 2), (Place{260, 200, 25, 15}));
    expectPlacedInPixels(screen);
}

TEST(KeyviewPunctuationScreen, ButtonsPlayTheirSignsAndExitCloses) {
    KeyviewRig rig;
    rig.begin(11);
    PunctuationScreen screen(rig.app(), rig.opened);
    ASSERT_TRUE(showActive(screen));

    QTest::mouseClick(screen.control(103), Qt::LeftButton);
    EXPECT_EQ(rig.heard(), "!");
    press(screen, 108);
    EXPECT_EQ(rig.heard(), "!?");

    // Enter on a focused button presses it; the end of the sign is not looked at.
    screen.focus(101);
    QTest::keyClick(screen.control(101), Qt::Key_Return);
    EXPECT_EQ(rig.heard(), "!?+");
    rig.wave->runUntilIdle();
    settle();

    // Return away from the buttons does nothing; there is no button past the group's.
    screen.pressReturn();
    for (int id : {1, 100, 109, 110, 111, 201})
        EXPECT_FALSE(press(screen, id)) << id;
    EXPECT_EQ(rig.heard(), "!?+");
    EXPECT_FALSE(screen.ended());

    QTest::mouseClick(screen.control(2), Qt::LeftButton);
    EXPECT_TRUE(screen.ended());
    EXPECT_FALSE(screen.isVisible());
}

TEST(KeyviewPunctuationScreen, LettersAmongTheMarksShowThemselves) {
    KeyviewRig rig;
    rig.tutor().data.lessonGroups[0] = "A.B&";
    ASSERT_EQ(rig.begin(1), keytut::LessonKind::Punctuation);
    PunctuationScreen screen(rig.app(), rig.opened);
    EXPECT_EQ(screen.controlIds(),
              (std::vector<int>{300, 101, 201, 102, 202, 103, 203, 104, 204, 2}));
    EXPECT_EQ(screen.text(101), "A");
    EXPECT_EQ(screen.text(201), "");
    EXPECT_EQ(screen.text(102), ".");
    EXPECT_EQ(screen.text(202), "Full Stop");
    EXPECT_EQ(screen.text(103), "B");
    // '&' is shown, not taken for a mnemonic.
    EXPECT_EQ(screen.controlAs<QPushButton>(104)->text(), "&&");
    press(screen, 103);
    EXPECT_EQ(rig.heard(), "B");
}

}  // namespace
}  // namespace keyview
