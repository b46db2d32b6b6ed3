// Earkey's screens as laid out: for each screen, and each stage of a screen whose controls
// change, every control with its kind, text and place in dialog units, in tab order, and the
// client area. A control added, moved or lost shows here; the behaviour tests say what the
// learner hears and where the focus goes.
#include <gtest/gtest.h>

#include <QTest>
#include <filesystem>
#include <functional>
#include <memory>

#include "earkey/key_screens.h"
#include "earkey/koch_screen.h"
#include "earkey/main_menu.h"
#include "earkey/practice_layouts.h"
#include "earkey/progress_screen.h"
#include "earkey_rig.h"
#include "platform/keys/key_screen.h"
#include "platform/ui/edition_screens.h"
#include "platform/ui/tone_screen.h"
#include "tests/ui/layout_table.h"

namespace earkey::testing {
namespace {

using keytut::ui::Screen;
using keytut::ui::testing::expectLayout;
using keytut::ui::testing::LayoutRow;
using keytut::ui::testing::ScreenLayout;
using keytut::ui::testing::withDrillAndGauge;
using enum keytut::ui::ControlKind;

// Opens a screen of the rig's program in the state its table describes.
using Opener = std::function<std::unique_ptr<Screen>(EarkeyRig&)>;

struct LayoutCase {
    const char* name;
    Opener open;
    ScreenLayout layout;
};

std::vector<LayoutRow> join(std::initializer_list<std::vector<LayoutRow>> parts) {
    std::vector<LayoutRow> rows;
    for (const auto& part : parts)
        rows.insert(rows.end(), part.begin(), part.end());
    return rows;
}

void PrintTo(const LayoutCase& c, std::ostream* os) {
    *os << c.name;
}

void key(Qt::Key k) {
    QTest::keyClick(QApplication::focusWidget(), k);
    settle();
}

const std::vector<std::string> kElevenGroups = {
    "ETIM", "ANS", "ORK", "DUG", "WHC", "LYF", "PBV", "XQ", "JZ", "1234567890", "+@!=/.,?"};

Opener mainMenu(std::vector<std::string> groups,
                std::vector<keytut::ui::ExerciseButton> registry = keytut::ui::exerciseRegistry()) {
    return [groups, registry](EarkeyRig& rig) -> std::unique_ptr<Screen> {
        rig.tutor.data.lessonGroups = groups;
        auto screen = std::make_unique<keytut::ui::MenuWindow>(
            rig.app, earkey::kMainMenu, keytut::ui::ExerciseOpeners{}, registry);
        EXPECT_TRUE(showActive(*screen));
        return screen;
    };
}

// The lesson screen of group 1, shown, after `f1` presses of F1 (the next stage).
Opener lessonStage(int f1) {
    return [f1](EarkeyRig& rig) -> std::unique_ptr<Screen> {
        EXPECT_EQ(rig.begin(1), LessonKind::Character);
        auto screen = std::make_unique<Practice::Lesson>(rig.app, rig.opened);
        EXPECT_TRUE(showActive(*screen));
        settle();
        for (int i = 0; i < f1; ++i)
            key(Qt::Key_F1);
        return screen;
    };
}

// The straight key screen with a decoder of its own, as long as it lives; not shown, so that
// no key port is opened.
struct DecoderHolder {
    std::shared_ptr<keytut::StraightKeyDecoder> decoder;
};
class StraightKeyScreen : private DecoderHolder, public keytut::keys::StraightKeyScreen {
  public:
    explicit StraightKeyScreen(keytut::ui::App& app)
        : DecoderHolder{keytut::keys::makeStraightKeyDecoder(app.tutor.codes, app.tutor.profile)},
          keytut::keys::StraightKeyScreen(app, straightKeyLayout(), *decoder, {}) {}
};

template <class S>
Opener shown() {
    return [](EarkeyRig& rig) -> std::unique_ptr<Screen> {
        auto screen = std::make_unique<S>(rig.app);
        EXPECT_TRUE(showActive(*screen));
        settle();
        return screen;
    };
}

// clang-format off
// The settings group, the same whatever the lessons and practice buttons above it.
const std::vector<LayoutRow> kSettingsRows = {
    {207, GroupBox, "Set Speeds and Com port", 220, 10, 140, 132},
    {205, Label, "&Character Speed:", 225, 32, 60, 10},
    {304, DropDownList, "12", 290, 30, 30, 80},
    {206, Label, "Word &Speed:", 225, 68, 60, 10},
    {305, DropDownList, "12", 290, 66, 30, 80},
    {199, Label, "Comm &Port:", 225, 108, 60, 10},
    {309, Edit, "1", 290, 108, 10, 10},
    {310, PushButton, "&Tone", 290, 124, 40, 14},
    {315, PushButton, "Ke&y", 333, 124, 25, 14},
};

const ScreenLayout kMainMenuElevenGroups = {380, 331, join({{
        {101, PushButton, "E T I M ", 20, 20, 100, 14},
        {102, PushButton, "A N S ", 20, 40, 100, 14},
        {103, PushButton, "O R K ", 20, 60, 100, 14},
        {104, PushButton, "D U G ", 20, 80, 100, 14},
        {105, PushButton, "W H C ", 20, 100, 100, 14},
        {106, PushButton, "L Y F ", 20, 120, 100, 14},
        {107, PushButton, "P B V ", 20, 140, 100, 14},
        {108, PushButton, "X Q ", 20, 160, 100, 14},
        {109, PushButton, "J Z ", 20, 180, 100, 14},
        {110, PushButton, "Numbers", 20, 200, 100, 14},
        {111, PushButton, "Punctuation", 20, 220, 100, 14},
        {200, GroupBox, "Lesson", 10, 10, 150, 242},
        {300, PushButton, "30 word test", 15, 260, 80, 14},
        {301, PushButton, "Random Q S Ohs", 15, 278, 80, 14},
        {302, PushButton, "Type a Message", 140, 260, 80, 14},
        {303, PushButton, "Send a File", 140, 278, 80, 14},
        {306, PushButton, "Straight Key Send", 265, 260, 80, 14},
        {307, PushButton, "Paddle Key Send", 265, 278, 80, 14},
        {312, PushButton, "Koch Trainer", 15, 296, 80, 14},
        {313, PushButton, "Progress", 140, 296, 80, 14},
        {208, GroupBox, "Practice", 10, 248, 350, 73},
    }, kSettingsRows})};

// With fewer groups the practice rows move up, and the key buttons reach into the settings.
const ScreenLayout kMainMenuOneGroup = {380, 220, join({{
        {101, PushButton, "Punctuation", 20, 20, 100, 14},
        {200, GroupBox, "Lesson", 10, 10, 150, 22},
        {300, PushButton, "30 word test", 15, 60, 80, 14},
        {301, PushButton, "Random Q S Ohs", 15, 78, 80, 14},
        {302, PushButton, "Type a Message", 140, 60, 80, 14},
        {303, PushButton, "Send a File", 140, 78, 80, 14},
        {306, PushButton, "Straight Key Send", 265, 60, 80, 14},
        {307, PushButton, "Paddle Key Send", 265, 78, 80, 14},
        {312, PushButton, "Koch Trainer", 15, 96, 80, 14},
        {313, PushButton, "Progress", 140, 96, 80, 14},
        {208, GroupBox, "Practice", 10, 48, 350, 73},
    }, kSettingsRows}), {}, true};

const ScreenLayout kMainMenuNoGroups = {380, 220, join({{
        {200, GroupBox, "Lesson", 10, 10, 150, 0},
        {300, PushButton, "30 word test", 15, 40, 80, 14},
        {301, PushButton, "Random Q S Ohs", 15, 58, 80, 14},
        {302, PushButton, "Type a Message", 140, 40, 80, 14},
        {303, PushButton, "Send a File", 140, 58, 80, 14},
        {306, PushButton, "Straight Key Send", 265, 40, 80, 14},
        {307, PushButton, "Paddle Key Send", 265, 58, 80, 14},
        {312, PushButton, "Koch Trainer", 15, 76, 80, 14},
        {313, PushButton, "Progress", 140, 76, 80, 14},
        {208, GroupBox, "Practice", 10, 28, 350, 73},
    }, kSettingsRows}), {}, true};

const ScreenLayout kMainMenuWithADrillAndAGaugeAdded = {380, 331, join({{
        {101, PushButton, "E T I M ", 20, 20, 100, 14},
        {102, PushButton, "A N S ", 20, 40, 100, 14},
        {103, PushButton, "O R K ", 20, 60, 100, 14},
        {104, PushButton, "D U G ", 20, 80, 100, 14},
        {105, PushButton, "W H C ", 20, 100, 100, 14},
        {106, PushButton, "L Y F ", 20, 120, 100, 14},
        {107, PushButton, "P B V ", 20, 140, 100, 14},
        {108, PushButton, "X Q ", 20, 160, 100, 14},
        {109, PushButton, "J Z ", 20, 180, 100, 14},
        {110, PushButton, "Numbers", 20, 200, 100, 14},
        {111, PushButton, "Punctuation", 20, 220, 100, 14},
        {200, GroupBox, "Lesson", 10, 10, 150, 242},
        {300, PushButton, "30 word test", 15, 260, 80, 14},
        {301, PushButton, "Random Q S Ohs", 15, 278, 80, 14},
        {302, PushButton, "Type a Message", 140, 260, 80, 14},
        {303, PushButton, "Send a File", 140, 278, 80, 14},
        {306, PushButton, "Straight Key Send", 265, 260, 80, 14},
        {307, PushButton, "Paddle Key Send", 265, 278, 80, 14},
        {312, PushButton, "Koch Trainer", 15, 296, 80, 14},
        {313, PushButton, "Progress", 140, 296, 80, 14},
        {320, PushButton, "Daily Drill", 265, 296, 80, 14},
        {208, GroupBox, "Practice", 10, 248, 350, 73},
    }, kSettingsRows, {
        {321, PushButton, "&Gauge", 245, 124, 20, 14},
    }})};

const ScreenLayout kLessonHearing = {300, 220, {
        {101, SpokenText, "", 265, 2, 10, 10},
        {100, SpokenText, "Press SPACE to start or repeat a character,\nReturn for the next character\nor F1 for the next stage", 5, 16, 240, 40},
    }};

const ScreenLayout kLessonRecognition = {300, 220, {
        {100, SpokenText, "Random characters will now be sent from the group,\nEnter to start, press the key of the character you hear,\nF1 for the next stage or Escape to exit", 5, 16, 240, 40},
        {101, SpokenText, "", 265, 2, 10, 10},
    }};

const ScreenLayout kLessonGroupTest = {300, 220, {
        {100, SpokenText, "20 groups of 5 characters will now be sent \nfrom those learned so far,\nThey will be displayed when finished sending,\nEnter to start or Escape to exit", 5, 16, 240, 40},
        {101, SpokenText, "", 265, 2, 10, 10},
        {104, SpokenText, "", 200, 65, 70, 12},
    }};

const ScreenLayout kPunctuation = {300, 220, {
        {300, Label, "Familiarise yourself with these punctuation characters", 10, 5, 230, 10},
        {101, PushButton, "C T Start of Message", 20, 20, 80, 15},
        {102, PushButton, "A R End of Message", 20, 40, 80, 15},
        {103, PushButton, "V A End of Q S O", 20, 60, 80, 15},
        {104, PushButton, "B T Pause", 20, 80, 80, 15},
        {105, PushButton, "Slash", 20, 100, 80, 15},
        {106, PushButton, "Full Stop", 20, 120, 80, 15},
        {107, PushButton, "Comma", 20, 140, 80, 15},
        {108, PushButton, "Question Mark", 20, 160, 80, 15},
    }};

const ScreenLayout kThirtyWordTest = {180, 175, {
        {102, Label, "Press Enter to start, Escape to exit.\nWhen finished use cursor keys to read the list.", 5, 5, 170, 30},
        {100, SpokenText, "", 5, 65, 150, 10},
    }};

const ScreenLayout kQso = {320, 220, {
        {101, Label, "Enter to send a Q S O,  Escape to exit.\nWhen finished use cursor keys to read the list", 5, 35, 200, 20},
        {104, Label, "&Q S O File", 20, 5, 50, 10},
        {105, ListBox, "MORSE1.TXT", 80, 5, 60, 29},
        {100, SpokenText, "", 5, 65, 300, 12},
    }};

const ScreenLayout kMessage = {350, 60, {
        {102, Label, "Type a message then enter to send, Escape to exit", 5, 5, 160, 10},
        {100, Label, "Text to send:", 5, 20, 42, 10},
        {101, Edit, "", 50, 20, 290, 12},
    }};

// The list's place reaches 5 units below the client area; it ends at the window's edge.
const ScreenLayout kFile = {290, 260, {
        {104, Label, "File:", 20, 6, 20, 12},
        {105, Edit, "", 42, 5, 50, 12},
        {103, ListBox, "", 5, 25, 270, 240},
    },
    {103}};

// The key screens as built, before they are shown and open their port.
const ScreenLayout kStraightKey = {320, 240, {
        {100, TextBox, "", 5, 25, 300, 12},
        {101, SpokenText, "", 5, 5, 60, 10},
        {102, Label, "Press F1 to get timings", 5, 45, 90, 12},
    }};

const ScreenLayout kPaddleKey = {360, 140, {
        {100, TextBox, "", 5, 25, 340, 12},
        {101, SpokenText, "", 5, 5, 60, 12},
    }};

// Without a kept progress the trainer starts at its first level.
const ScreenLayout kKochTrainer = {300, 130, {
        {100, Label, "Level 2 of 41: K M. Return sends a group of five; type what you heard and press Return.", 5, 5, 290, 30},
        {101, Label, "&Copy:", 5, 46, 30, 10},
        {102, Edit, "", 40, 44, 150, 12},
        {103, SpokenText, "", 5, 64, 290, 40},
        {105, Label, "Co&urse:", 5, 112, 30, 10},
        {106, DropDownList, "LCWO order", 40, 110, 70, 60},
        {107, Label, "&Own order:", 115, 112, 45, 10},
        {108, Edit, "KMURESNAPTLWI.JZ=FOY,VG5/Q92H38B?47C1D60X", 165, 110, 130, 12},
    }};

const ScreenLayout kProgress = {300, 30, {
        {100, SpokenText, "Level 2 of 41. No session yet", 5, 9, 290, 12},
    }};

const ScreenLayout kTone = {150, 70, {
        {100, Label, "&Pitch:", 5, 8, 40, 10},
        {101, DropDownList, "800 Hz", 50, 6, 50, 80},
        {102, Label, "&Edges:", 5, 26, 40, 10},
        {103, DropDownList, "Hard", 50, 24, 50, 80},
        {104, PushButton, "&Try", 15, 48, 50, 14},
        {105, PushButton, "Close", 85, 48, 50, 14},
    }};
// clang-format on

const std::vector<LayoutCase>& cases() {
    static const std::vector<LayoutCase> all = {
        {"MainMenuElevenGroups", mainMenu(kElevenGroups), kMainMenuElevenGroups},
        {"MainMenuOneGroup", mainMenu({"ETIM"}), kMainMenuOneGroup},
        {"MainMenuNoGroups", mainMenu({}), kMainMenuNoGroups},
        {"MainMenuWithADrillAndAGaugeAdded", mainMenu(kElevenGroups, withDrillAndGauge()),
         kMainMenuWithADrillAndAGaugeAdded},
        {"LessonHearing", lessonStage(0), kLessonHearing},
        {"LessonRecognition", lessonStage(1), kLessonRecognition},
        {"LessonGroupTest", lessonStage(2), kLessonGroupTest},
        {"Punctuation",
         [](EarkeyRig& rig) -> std::unique_ptr<Screen> {
             const int last = static_cast<int>(rig.tutor.data.lessonGroups.size());
             EXPECT_EQ(rig.begin(last), LessonKind::Punctuation);
             auto screen = std::make_unique<Practice::Punctuation>(rig.app, rig.opened);
             EXPECT_TRUE(showActive(*screen));
             settle();
             return screen;
         },
         kPunctuation},
        {"ThirtyWordTest", shown<Practice::WordTest>(), kThirtyWordTest},
        {"Qso", shown<Practice::Qso>(), kQso},
        {"Message", shown<Practice::Message>(), kMessage},
        {"File", shown<Practice::File>(), kFile},
        {"StraightKey",
         [](EarkeyRig& rig) -> std::unique_ptr<Screen> {
             return std::make_unique<StraightKeyScreen>(rig.app);
         },
         kStraightKey},
        {"PaddleKey",
         [](EarkeyRig& rig) -> std::unique_ptr<Screen> {
             return std::make_unique<keytut::keys::PaddleKeyScreen>(
                 rig.app, paddleKeyLayout(), "12", keytut::keys::KeyScreenHooks{});
         },
         kPaddleKey},
        {"KochTrainer", shown<KochScreen>(), kKochTrainer},
        {"Progress", shown<ProgressScreen>(), kProgress},
        {"Tone", shown<keytut::ui::ToneScreen>(), kTone},
    };
    return all;
}

class EarkeyLayout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(EarkeyLayout, EveryControlStandsWhereTheTableSays) {
    // As the program runs: in its data folder, where the QSO files are.
    const std::filesystem::path saved = std::filesystem::current_path();
    std::filesystem::current_path(KEYTUT_DATA_DIR);
    struct Back {
        std::filesystem::path to;
        ~Back() { std::filesystem::current_path(to); }
    } back{saved};
    EarkeyRig rig;
    std::unique_ptr<Screen> screen = GetParam().open(rig);
    ASSERT_NE(screen, nullptr);
    expectLayout(*screen, GetParam().layout);
}

INSTANTIATE_TEST_SUITE_P(Screens, EarkeyLayout, ::testing::ValuesIn(cases()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace earkey::testing
