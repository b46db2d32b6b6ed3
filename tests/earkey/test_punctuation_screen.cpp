// Earkey's punctuation screen: the buttons of the group's signs, each playing its sign, and the
// OK command's message box.
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "earkey/practice_layouts.h"
#include "earkey_rig.h"
#include "exercises/lesson.h"
#include "platform/ui/edition_screens.h"

namespace earkey::testing {
namespace {

using keytut::ui::testing::press;
using punctuation::kHeading;

// The button of sign i (1-based) of the group.
int signButton(int i) {
    return punctuation::kFirstSignButton + i - 1;
}

struct PunctuationFixture : ::testing::Test {
    void open() {
        const int last = static_cast<int>(rig.tutor.data.lessonGroups.size());
        ASSERT_EQ(rig.begin(last), LessonKind::Punctuation);
        screen = std::make_unique<Practice::Punctuation>(rig.app, rig.opened);
        rig.screen = screen.get();
        ASSERT_TRUE(showActive(*screen));
        settle();
    }
    // Dismisses the next message box and returns its text.
    void answerMessageBox(std::string& text) {
        QTimer::singleShot(50, [&text] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                text = box->text().toStdString();
                box->button(QMessageBox::Ok)->click();
            } else {
                text = "(no message box)";
            }
        });
    }
    EarkeyRig rig;
    std::unique_ptr<Practice::Punctuation> screen;
};

TEST_F(PunctuationFixture, EightButtonsInOrderWithTheirSpokenCaptions) {
    open();
    EXPECT_EQ(screen->windowTitle(), "Punctuation");
    EXPECT_EQ(screen->size(), screen->toPixels(0, 0, 300, 220).size());
    EXPECT_EQ(screen->text(kHeading), "Familiarise yourself with these punctuation characters");
    const std::vector<std::string> captions{"C T Start of Message",
                                            "A R End of Message",
                                            "V A End of Q S O",
                                            "B T Pause",
                                            "Slash",
                                            "Full Stop",
                                            "Comma",
                                            "Question Mark"};
    for (int i = 1; i <= 8; ++i) {
        ASSERT_NE(screen->controlAs<QPushButton>(signButton(i)), nullptr) << i;
        EXPECT_EQ(screen->text(signButton(i)), captions[static_cast<std::size_t>(i - 1)]);
        EXPECT_EQ(screen->controlAs<QPushButton>(signButton(i))->isDefault(), i == 1);
    }
    EXPECT_EQ(screen->control(signButton(9)), nullptr);
    // Tab walks the buttons in order, and the screen reader hears each caption.
    screen->focus(signButton(1));
    const std::size_t mark = rig.focus.size();
    for (int i = 0; i < 8; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    std::vector<std::string> heard;
    for (std::size_t i = mark; i < rig.focus.size(); ++i)
        heard.push_back(rig.focus[i].name);
    std::vector<std::string> expected(captions.begin() + 1, captions.end());
    expected.push_back(captions[0]);
    EXPECT_EQ(heard, expected);
}

TEST_F(PunctuationFixture, ButtonsPlayTheirSigns) {
    open();
    screen->focus(signButton(3));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);  // a focused button takes it
    press(*screen, signButton(8));
    EXPECT_FALSE(press(*screen, signButton(11)));  // no such button
    EXPECT_EQ(rig.heard(), "!!?");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_TRUE(screen->ended());
}

TEST_F(PunctuationFixture, OkShowsTheLastSignOrPlaysTheFirst) {
    open();
    std::string shown;
    answerMessageBox(shown);
    screen->pressReturn();
    EXPECT_EQ(shown, "");
    EXPECT_EQ(rig.writes(), 0u);  // the first sign comes as a posted press
    settle();
    EXPECT_EQ(rig.heard(), "+");

    press(*screen, signButton(8));
    answerMessageBox(shown);
    screen->pressReturn();
    settle();
    EXPECT_EQ(shown, "?");
    EXPECT_EQ(rig.heard(), "+?");
}

TEST(PunctuationEntry, TheLastLessonOpensThePunctuationScreen) {
    EarkeyRig rig;
    std::string title;
    QTimer::singleShot(300, [&] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            title = w->windowTitle().toStdString();
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : w,
                            Qt::Key_Escape);
        }
    });
    keytut::ui::editionOpeners(rig.app).lesson(
        static_cast<int>(rig.tutor.data.lessonGroups.size()));
    EXPECT_EQ(title, "Punctuation");
}

}  // namespace
}  // namespace earkey::testing
