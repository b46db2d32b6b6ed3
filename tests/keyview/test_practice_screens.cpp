// Keyview's thirty-word test and message sending through their buttons.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include "keyview/practice_layouts.h"
#include "keyview_rig.h"
#include "platform/ui/edition_screens.h"

namespace keyview {
namespace {

using testing::KeyviewRig;
using testing::settle;
using testing::showActive;

TEST(KeyviewWordTestScreen, TheListIsShownOncePerLineAfterSendingAndOnlyTheLastStart) {
    KeyviewRig rig;
    Practice::WordTest screen(rig.app());
    ASSERT_TRUE(showActive(screen));
    EXPECT_EQ(screen.windowTitle().toStdString(), "Send 30 random words");

    QTest::mouseClick(screen.control(word_test::kStart), Qt::LeftButton);
    rig.wave->runUntilIdle(5);
    settle();
    EXPECT_EQ(screen.text(word_test::kList), "");  // nothing is shown while the words are sent
    QTest::mouseClick(screen.control(word_test::kStart), Qt::LeftButton);
    const std::string second = rig.tutor().sender.text();
    rig.wave->runUntilIdle();
    settle();
    std::string lines = second;  // the label shows a line end for each CR LF
    for (std::size_t at; (at = lines.find("\r\n")) != std::string::npos;)
        lines.replace(at, 2, "\n");
    EXPECT_EQ(screen.text(word_test::kList), lines);
    // Thirty lines, each the word with the blank it carries in Keyview's list.
    const QString shown = screen.controlAs<QLabel>(word_test::kList)->text();
    EXPECT_EQ(shown.count('\n'), 30);
    for (const QString& line : shown.split('\n', Qt::SkipEmptyParts))
        EXPECT_TRUE(line.endsWith(' ')) << line.toStdString();

    // Return means nothing away from the buttons; Exit stops after the current character.
    screen.pressReturn();
    EXPECT_EQ(rig.tutor().sender.text(), second);
    QTest::mouseClick(screen.control(word_test::kStart), Qt::LeftButton);
    rig.wave->runUntilIdle(2);
    const std::size_t written = rig.writes();
    QTest::mouseClick(screen.control(word_test::kExit), Qt::LeftButton);
    EXPECT_TRUE(screen.ended());
    rig.wave->runUntilIdle();
    EXPECT_EQ(rig.writes(), written);
}

TEST(KeyviewMessageScreen, SendPlaysTheTextEachTimeAndTheBoxKeepsIt) {
    KeyviewRig rig;
    Practice::Message screen(rig.app());
    ASSERT_TRUE(showActive(screen));
    settle();
    ASSERT_EQ(screen.focusedId(), message::kTextBox);
    auto* box = screen.controlAs<QLineEdit>(message::kTextBox);
    QTest::keyClicks(box, "QRZ?");
    QTest::keyClick(box, Qt::Key_Return);  // Return is Send
    rig.wave->runUntilIdle();
    QTest::mouseClick(screen.control(message::kSend), Qt::LeftButton);
    rig.wave->runUntilIdle();
    EXPECT_EQ(rig.heard(), "QRZ?QRZ?");
    EXPECT_EQ(screen.text(message::kTextBox), "QRZ?");
    QTest::mouseClick(screen.control(message::kExit), Qt::LeftButton);
    EXPECT_TRUE(screen.ended());
}

TEST(KeyviewMainWindowEntries, WordsAndMessageButtonsOpenTheirScreens) {
    KeyviewRig rig;
    auto openers = keytut::ui::editionOpeners(rig.app());
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
}  // namespace keyview
