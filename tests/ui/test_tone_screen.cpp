// The tone screen of both editions, opened from the main window's Tone button: the lists show
// the tone in use, each change is said and applies at once, Try sends PARIS with it, and leaving
// stops what Try started after the character that is playing.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "earkey/main_menu.h"
#include "keyview/main_window.h"
#include "platform/ui/tone_screen.h"
#include "test_support.h"

namespace keytut::ui {
namespace {

using testing::accessibleDescription;
using testing::announced;
using testing::ExerciseProgram;
using testing::showActive;
using namespace tone;

class ToneScreens : public ::testing::TestWithParam<Edition> {
  protected:
    ToneScreens() : program(GetParam(), KEYTUT_DATA_DIR, 1) {
        if (GetParam() == Edition::Earkey) {
            window = std::make_unique<keytut::ui::MenuWindow>(program.app, earkey::kMainMenu,
                                                              ExerciseOpeners{});
        } else {
            window = std::make_unique<keytut::ui::MenuWindow>(program.app, keyview::kMainWindow,
                                                              ExerciseOpeners{});
        }
        program.app.setMainWindow(window.get());
    }

    // Opens the tone screen as the learner does (Earkey: Tab to the button and Space; Keyview: a
    // click), runs `inside` on it and returns once it has closed. A screen left open is closed
    // after five seconds, and the test fails.
    void withToneScreen(const std::function<void(ToneScreen&)>& inside) {
        ASSERT_TRUE(showActive(*window));
        bool opened = false;
        QTimer::singleShot(50, [&] {
            auto* screen = qobject_cast<ToneScreen*>(QApplication::activeModalWidget());
            if (!screen)
                return;
            opened = true;
            inside(*screen);
        });
        QTimer watchdog;
        watchdog.setSingleShot(true);
        bool closedByWatchdog = false;
        QObject::connect(&watchdog, &QTimer::timeout, [&] {
            if (auto* screen = qobject_cast<Screen*>(QApplication::activeModalWidget())) {
                closedByWatchdog = true;
                screen->endScreen();
            }
        });
        watchdog.start(5000);
        auto* button = window->controlAs<QPushButton>(menu::kTone);
        if (GetParam() == Edition::Earkey) {
            window->focus(menu::kPort);
            QTest::keyClick(window->control(menu::kPort), Qt::Key_Tab);
            ASSERT_EQ(window->focusedId(), menu::kTone);
            QTest::keyClick(button, Qt::Key_Space);
        } else {
            QTest::mouseClick(button, Qt::LeftButton);
        }
        EXPECT_TRUE(opened);
        EXPECT_FALSE(closedByWatchdog);
    }

    // Leaves the screen: Escape in Earkey, the Close button in Keyview.
    void leave(ToneScreen& screen) {
        if (GetParam() == Edition::Earkey) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        } else {
            QTest::mouseClick(screen.controlAs<QPushButton>(kClose), Qt::LeftButton);
        }
    }

    Tone chosen(ToneSettings settings) const {
        return Tone(profileOf(GetParam()).toneAmplitude, settings);
    }

    ExerciseProgram program;
    std::unique_ptr<MenuWindow> window;
};

TEST_P(ToneScreens, ChoicesAreSaidApplyAtOnceAndAreHeardOnTry) {
    withToneScreen([&](ToneScreen& screen) {
        EXPECT_EQ(screen.windowTitle(), "Tone");
        EXPECT_EQ(screen.focusedId(), kPitch);
        auto* pitch = screen.controlAs<QComboBox>(kPitch);
        auto* edges = screen.controlAs<QComboBox>(kEdges);
        ASSERT_TRUE(pitch && edges);
        EXPECT_EQ(pitch->count(), 13);
        EXPECT_EQ(pitch->itemText(0), "400 Hz");
        EXPECT_EQ(pitch->itemText(12), "1000 Hz");
        EXPECT_EQ(accessibleDescription(pitch), "800 Hz");
        EXPECT_EQ(accessibleDescription(edges), "Hard");

        QTest::keyClick(pitch, Qt::Key_Down);
        EXPECT_EQ(announced(), "850 Hz");
        EXPECT_EQ(program.tutor.tone.settings(), (ToneSettings{850, false}));
        QTest::keyClick(pitch, Qt::Key_End);
        EXPECT_EQ(announced(), "1000 Hz");
        QTest::keyClick(pitch, Qt::Key_Tab);
        EXPECT_EQ(screen.focusedId(), kEdges);
        QTest::keyClick(edges, Qt::Key_Down);
        EXPECT_EQ(announced(), "Soft");
        EXPECT_EQ(program.tutor.tone.settings(), (ToneSettings{1000, true}));

        // Try: the first character goes out at once with the tone chosen.
        QTest::keyClick(edges, Qt::Key_T, Qt::AltModifier);
        // A mnemonic shows the button pressed for a moment before it acts.
        ASSERT_TRUE(testing::waitFor([&] { return program.writes() == 1; }));
        std::vector<std::int16_t> p(kSampleBufferSize);
        p.resize(synthesiseCharacter('P', program.tutor.codes, chosen({1000, true}),
                                     program.tutor.timing, p));
        EXPECT_EQ(program.wave->written()[0].samples, p);
        program.wave->runUntilIdle();
        EXPECT_EQ(program.heard(), "PARIS");
        leave(screen);
    });
    EXPECT_EQ(program.tutor.tone.settings(), (ToneSettings{1000, true}));

    // Opened again, it shows what was chosen.
    withToneScreen([&](ToneScreen& screen) {
        EXPECT_EQ(accessibleDescription(screen.control(kPitch)), "1000 Hz");
        EXPECT_EQ(accessibleDescription(screen.control(kEdges)), "Soft");
        leave(screen);
    });
}

TEST_P(ToneScreens, LeavingWhileTryPlaysStopsAfterTheCharacterPlaying) {
    program.tutor.setTone({450, false});
    withToneScreen([&](ToneScreen& screen) {
        EXPECT_EQ(accessibleDescription(screen.control(kPitch)), "450 Hz");
        QTest::mouseClick(screen.controlAs<QPushButton>(kTry), Qt::LeftButton);
        program.wave->advance(100);
        leave(screen);
    });
    program.wave->runUntilIdle();
    EXPECT_EQ(program.heard(), "P");
    EXPECT_EQ(program.tutor.tone.settings(), (ToneSettings{450, false}));
}

INSTANTIATE_TEST_SUITE_P(BothEditions, ToneScreens, kBothEditions, editionName);

}  // namespace
}  // namespace keytut::ui
