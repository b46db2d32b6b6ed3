// Earkey's thirty-word test and message sending through their keys: what the screen reader is
// given to say, and what the sender plays.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "earkey/practice_layouts.h"
#include "earkey_rig.h"
#include "platform/ui/edition_screens.h"

namespace earkey::testing {
namespace {

void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(QApplication::focusWidget(), k, modifiers);
    settle();
}

// The words of the list being sent, in order.
std::vector<std::string> wordsOf(const std::string& text) {
    std::vector<std::string> words;
    for (std::size_t at = 0; at < text.size();) {
        const auto end = text.find("\r\n", at);
        words.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    return words;
}

TEST(EarkeyWordTestScreen, WordsAreSpokenEachTimeTheyAreReadBackWithDownAndUp) {
    EarkeyRig rig;
    Practice::WordTest screen(rig.app);
    rig.screen = &screen;
    ASSERT_TRUE(showActive(screen));
    settle();
    EXPECT_EQ(screen.windowTitle().toStdString(), "Send 30 random words");
    EXPECT_EQ(screen.focusedId(), word_test::kWordBox);  // the only control that takes the focus
    key(Qt::Key_Tab);
    EXPECT_EQ(screen.focusedId(), word_test::kWordBox);

    key(Qt::Key_Return);
    const auto words = wordsOf(rig.tutor.sender.text());
    ASSERT_EQ(words.size(), 30u);
    ASSERT_EQ(rig.writes(), 1u);

    // While the list is sent, Down and Up already read it; repeats are spoken again.
    rig.wave->runUntilIdle(10);
    const std::size_t mark = rig.focus.size();
    for (Qt::Key k : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Up, Qt::Key_Up, Qt::Key_Down})
        key(k);
    EXPECT_EQ(rig.namesOn(100, mark),
              (std::vector<std::string>{words[0], words[1], words[0], words[0 + 1]}));

    // The end of the list: the box is emptied, before the first word.
    rig.wave->runUntilIdle();
    settle();
    EXPECT_EQ(screen.text(word_test::kWordBox), "");
    EXPECT_EQ(screen.test().review().index(), 0);
    const std::size_t afterEnd = rig.focus.size();
    for (int i = 0; i < 31; ++i)
        key(Qt::Key_Down);
    const auto spoken = rig.namesOn(100, afterEnd);
    ASSERT_EQ(spoken.size(), 30u);  // thirty Downs, and one more that says nothing
    EXPECT_EQ(spoken.front(), words.front());
    EXPECT_EQ(spoken.back(), words.back());
    EXPECT_EQ(screen.text(word_test::kWordBox), words.back());

    // Escape during a new list: the playing character ends and nothing follows.
    key(Qt::Key_Return);
    rig.wave->runUntilIdle(2);
    const std::size_t written = rig.writes();
    key(Qt::Key_Escape);
    EXPECT_TRUE(screen.ended());
    rig.wave->runUntilIdle();
    EXPECT_EQ(rig.writes(), written);
}

// The boxes the screen reader read by their role alone have names: said when the learner is on
// them, before their text, and not with each text the screen speaks.
TEST(EarkeyNamedBoxes, TheWordBoxTheQsoLineBoxAndTheListOfLinesSentAreNamed) {
    EarkeyRig rig;
    {
        Practice::WordTest screen(rig.app);
        rig.screen = &screen;
        const std::size_t mark = rig.focus.size();
        ASSERT_TRUE(showActive(screen));
        settle();
        EXPECT_EQ(rig.namesOn(word_test::kWordBox, mark), std::vector<std::string>{"Word"});
        key(Qt::Key_Return);
        key(Qt::Key_Down);
        const auto words = wordsOf(rig.tutor.sender.text());
        EXPECT_EQ(rig.namesOn(word_test::kWordBox, mark),
                  (std::vector<std::string>{"Word", words[0]}));
    }
    {
        // The QSO files are read from the working folder.
        const auto saved = std::filesystem::current_path();
        std::filesystem::current_path(KEYTUT_DATA_DIR);
        Practice::Qso screen(rig.app);
        std::filesystem::current_path(saved);
        rig.screen = &screen;
        ASSERT_TRUE(showActive(screen));
        settle();
        ASSERT_EQ(screen.focusedId(), qso::kFileList);
        const std::size_t mark = rig.focus.size();
        key(Qt::Key_Tab);  // from the file list to the line box
        EXPECT_EQ(rig.focus.back().id, qso::kLineBox);
        EXPECT_EQ(rig.focus.back().name, "Q S O line");
        key(Qt::Key_Return);  // a QSO; its first line read while it is sent
        key(Qt::Key_Down, Qt::ControlModifier);
        const std::string line = screen.text(qso::kLineBox);
        ASSERT_FALSE(line.empty());
        EXPECT_EQ(rig.focus.back().name, line);
        for (int i = 0; i < 3; ++i)
            key(Qt::Key_Tab);  // round to the line box again
        EXPECT_EQ(rig.focus.back().id, qso::kLineBox);
        EXPECT_EQ(rig.focus.back().name, "Q S O line: " + line);
        EXPECT_EQ(rig.namesOn(qso::kLineBox, mark).size(), 3u);
    }
    {
        Practice::File screen(rig.app);
        rig.screen = &screen;
        ASSERT_TRUE(showActive(screen));
        settle();
        key(Qt::Key_Tab);
        EXPECT_EQ(rig.focus.back().id, file::kList);
        EXPECT_EQ(QAccessible::queryAccessibleInterface(screen.control(file::kList))
                      ->text(QAccessible::Name)
                      .toStdString(),
                  "Lines sent");
    }
}

TEST(EarkeyMessageScreen, TheTypedTextIsSentOnEachReturnAndStays) {
    EarkeyRig rig;
    Practice::Message screen(rig.app);
    rig.screen = &screen;
    ASSERT_TRUE(showActive(screen));
    settle();
    EXPECT_EQ(screen.windowTitle().toStdString(), "Send a Message");
    ASSERT_EQ(screen.focusedId(), message::kTextBox);
    auto* box = screen.controlAs<QLineEdit>(message::kTextBox);
    ASSERT_NE(box, nullptr);
    // The screen reader names the box by its caption.
    EXPECT_EQ(QAccessible::queryAccessibleInterface(box)->text(QAccessible::Name).toStdString(),
              "Text to send:");

    QTest::keyClicks(box, "cq de");
    key(Qt::Key_Return);
    rig.wave->runUntilIdle();
    key(Qt::Key_Return);
    rig.wave->runUntilIdle();
    EXPECT_EQ(rig.heard(), "CQ DECQ DE");
    EXPECT_EQ(screen.text(message::kTextBox), "cq de");

    // A new Return replaces what is sounding.
    box->setText("PARIS");
    key(Qt::Key_Return);
    rig.wave->advance(100);
    box->setText("TEST");
    const std::size_t before = rig.writes();
    key(Qt::Key_Return);
    rig.wave->runUntilIdle();
    EXPECT_EQ(rig.heard(before), "TEST");
    key(Qt::Key_Escape);
    EXPECT_TRUE(screen.ended());
}

TEST(EarkeyMainMenuEntries, WordTestAndMessageButtonsOpenTheirScreens) {
    EarkeyRig rig;
    auto openers = keytut::ui::editionOpeners(rig.app);
    for (auto [entry, title] :
         {std::pair{openers.byName[keytut::ui::exercise::kThirtyWords], "Send 30 random words"},
          std::pair{openers.byName[keytut::ui::exercise::kMessage], "Send a Message"}}) {
        std::string seen;
        QTimer::singleShot(200, [&] {
            if (auto* modal =
                    qobject_cast<keytut::ui::Screen*>(QApplication::activeModalWidget())) {
                seen = modal->windowTitle().toStdString();
                modal->cancel();
            }
        });
        ASSERT_TRUE(entry);
        entry();
        EXPECT_EQ(seen, title);
    }
}

}  // namespace
}  // namespace earkey::testing
