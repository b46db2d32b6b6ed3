// The exercise registry: every entry reaches a screen in both editions, and a new entry is a new
// button in both main windows, in its tab order, that opens its exercise. Where such a button
// stands is checked with the layout tables (tests/earkey/test_layout.cpp,
// tests/keyview/test_layout.cpp).
#include <gtest/gtest.h>

#include <QComboBox>
#include <QPushButton>
#include <QTest>

#include "earkey/main_menu.h"
#include "keyview/main_window.h"
#include "platform/ui/edition_screens.h"
#include "test_support.h"
#include "tests/editions.h"

namespace keytut::ui {
namespace {

using testing::showActive;
using testing::TestProgram;
using testing::withDrillAndGauge;

std::unique_ptr<MenuWindow> mainWindow(Edition edition, App& app, ExerciseOpeners openers,
                                       std::vector<ExerciseButton> registry) {
    if (edition == Edition::Earkey)
        return std::make_unique<keytut::ui::MenuWindow>(app, earkey::kMainMenu, std::move(openers),
                                                        std::move(registry));
    return std::make_unique<keytut::ui::MenuWindow>(app, keyview::kMainWindow, std::move(openers),
                                                    std::move(registry));
}

class Registry : public ::testing::TestWithParam<Edition> {};

// A name that no edition opens would leave a button that silently starts nothing.
TEST_P(Registry, EveryEntryOpensSomethingInTheEdition) {
    TestProgram program(GetParam(), {"ETIM"});
    const ExerciseOpeners openers = editionOpeners(program.app);
    EXPECT_TRUE(openers.lesson);
    std::set<int> ids;
    for (const ExerciseButton& button : exerciseRegistry()) {
        EXPECT_TRUE(button.open || openers.byName.count(button.name)) << button.name;
        EXPECT_TRUE(ids.insert(button.id).second) << "id used twice: " << button.id;
    }
    for (const auto& [name, opener] : openers.byName) {
        const auto& registry = exerciseRegistry();
        EXPECT_TRUE(std::any_of(registry.begin(), registry.end(),
                                [&](const ExerciseButton& b) { return b.name == name; }))
            << name << " is opened but has no button";
    }
}

TEST_P(Registry, AnEntryAddedIsAButtonInItsTabOrderThatOpensItsExercise) {
    const Edition edition = GetParam();
    TestProgram program(edition, {"ETIM", "ANS"});
    std::vector<std::string> opened;
    ExerciseOpeners openers;
    openers.byName["Drill"] = [&] { opened.push_back("drill"); };
    const std::vector<ExerciseButton> registry =
        withDrillAndGauge([&](App&) { opened.push_back("gauge"); });
    auto w = mainWindow(edition, program.app, std::move(openers), registry);

    // After the described buttons in tab order: the drill after Paddle Key Send, the gauge after
    // the last settings button, Key.
    const auto ids = w->controlIds();
    auto at = [&](int id) { return std::find(ids.begin(), ids.end(), id) - ids.begin(); };
    EXPECT_GT(at(320), at(menu::kPaddleKey));
    EXPECT_LT(at(320), at(menu::kPracticeBox));
    EXPECT_EQ(at(321), at(menu::kKey) + 1);
    // Its caption in the edition; Keyview writes its description beside it.
    const bool earkey = edition == Edition::Earkey;
    EXPECT_EQ(w->text(320), earkey ? "Daily Drill" : "&Drill");
    if (earkey) {
        EXPECT_EQ(w->control(233), nullptr);
    } else {
        EXPECT_EQ(w->text(233), "A daily drill");
    }

    ASSERT_TRUE(showActive(*w));
    w->controlAs<QPushButton>(320)->click();
    w->focus(321);
    QTest::keyClick(w->control(321), Qt::Key_Return);
    if (!earkey) {
        // Its mnemonic; the button shows itself pressed for a moment first.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_D, Qt::AltModifier);
        QTest::qWait(250);
    }
    EXPECT_EQ(opened, earkey ? (std::vector<std::string>{"drill", "gauge"})
                             : (std::vector<std::string>{"drill", "gauge", "drill"}));
}

// An exercise reads the settings as they stand when it opens, from the one owner: the port as
// the box shows it, the paddle's speed as the character speed list shows it.
TEST_P(Registry, ExercisesReadTheSettingsTheWindowShows) {
    TestProgram program(GetParam(), {"ETIM"});
    std::vector<std::string> seen;
    ExerciseOpeners openers;
    openers.byName[exercise::kPaddleKey] = [&] {
        seen.push_back(program.app.settings().port() + " at " +
                       program.app.settings().characterSpeedText());
    };
    auto w = mainWindow(GetParam(), program.app, std::move(openers), exerciseRegistry());
    ASSERT_TRUE(showActive(*w));
    w->setText(menu::kPort, "");
    w->focus(menu::kPort);
    QTest::keyClicks(w->control(menu::kPort), "14");
    auto* speed = w->controlAs<QComboBox>(menu::kCharacterSpeed);
    speed->setCurrentIndex(4);
    emit speed->activated(4);
    w->controlAs<QPushButton>(menu::kPaddleKey)->click();
    EXPECT_EQ(seen, (std::vector<std::string>{"14 at 20"}));
    EXPECT_EQ(program.app.settings().kept().port, "14");
}

// A registration reaches the main windows of its own edition only: an edition that registers
// nothing opens nothing, and a screen registered for one edition never opens in another.
TEST(EditionScreens, WhatAnEditionRegistersOpensInItsOwnMainWindowsOnly) {
    EditionProfile third = kEarkeyProfile;
    third.name = "a third edition";
    static int drills = 0;
    const EditionScreens drill{third.name, [](ExerciseOpeners& openers, App&) {
                                   openers.byName["Drill"] = [] { ++drills; };
                               }};
    Tutor tutor(third);
    testing::TestAudio audio;
    CollectingMessageSink messages;
    KeyStateTracker keys;
    App app(tutor, audio, messages, keys, {});
    ExerciseOpeners openers = editionOpeners(app);
    EXPECT_FALSE(openers.lesson);
    ASSERT_EQ(openers.byName.size(), 1u);
    openers.byName.at("Drill")();
    EXPECT_EQ(drills, 1);
    for (Edition edition : {Edition::Earkey, Edition::Keyview}) {
        TestProgram program(edition);
        EXPECT_EQ(editionOpeners(program.app).byName.count("Drill"), 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(BothEditions, Registry, kBothEditions, editionName);

}  // namespace
}  // namespace keytut::ui
