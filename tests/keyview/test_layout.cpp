// Keyview's screens as laid out: for each screen, and each stage of a screen whose controls
// change, every control with its kind, text and place in dialog units, in tab order, and the
// client area. A control added, moved or lost shows here; the behaviour tests say what the
// learner hears and where the focus goes.
#include <gtest/gtest.h>

#include <QTest>
#include <filesystem>
#include <functional>
#include <memory>

#include "keyview/key_screens.h"
#include "keyview/koch_screen.h"
#include "keyview/main_window.h"
#include "keyview/practice_layouts.h"
#include "keyview/progress_screen.h"
#include "keyview_rig.h"
#include "platform/keys/key_screen.h"
#include "platform/ui/edition_screens.h"
#include "platform/ui/tone_screen.h"
#include "tests/ui/layout_table.h"

namespace keyview::testing {
namespace {

using keytut::ui::Screen;
using keytut::ui::testing::expectLayout;
using keytut::ui::testing::LayoutRow;
using keytut::ui::testing::ScreenLayout;
using keytut::ui::testing::withDrillAndGauge;
using enum keytut::ui::ControlKind;

// Opens a screen of the rig's program in the state its table describes.
using Opener = std::function<std::unique_ptr<Screen>(KeyviewRig&)>;

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

const std::vector<std::string> kElevenGroups = {
    "ETIM", "ANS", "ORK", "DUG", "WHC", "LYF", "PBV", "XQ", "JZ", "1234567890", "+@!=/.,?"};

Opener mainWindow(
    std::vector<std::string> groups,
    std::vector<keytut::ui::ExerciseButton> registry = keytut::ui::exerciseRegistry()) {
    return [groups, registry](KeyviewRig& rig) -> std::unique_ptr<Screen> {
        rig.tutor().data.lessonGroups = groups;
        auto screen = std::make_unique<keytut::ui::MenuWindow>(
            rig.app(), keyview::kMainWindow, keytut::ui::ExerciseOpeners{}, registry);
        EXPECT_TRUE(showActive(*screen));
        return screen;
    };
}

// The lesson screen of group 3, shown, after `next` presses of Next.
Opener lessonStage(int next) {
    return [next](KeyviewRig& rig) -> std::unique_ptr<Screen> {
        EXPECT_EQ(rig.begin(3), keytut::LessonKind::Character);
        auto screen = std::make_unique<Practice::Lesson>(rig.app(), rig.opened);
        EXPECT_TRUE(showActive(*screen));
        settle();
        for (int i = 0; i < next; ++i) {
            EXPECT_TRUE(keytut::ui::testing::press(*screen, lesson::kNext));
            settle();
        }
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
    return [](KeyviewRig& rig) -> std::unique_ptr<Screen> {
        auto screen = std::make_unique<S>(rig.app());
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

const ScreenLayout kMainWindowElevenGroups = {380, 331, join({{
        {101, PushButton, "&1", 20, 20, 20, 14},
        {211, Label, "ETIM", 45, 22, 80, 10},
        {102, PushButton, "&2", 20, 40, 20, 14},
        {212, Label, "ANS", 45, 42, 80, 10},
        {103, PushButton, "&3", 20, 60, 20, 14},
        {213, Label, "ORK", 45, 62, 80, 10},
        {104, PushButton, "&4", 20, 80, 20, 14},
        {214, Label, "DUG", 45, 82, 80, 10},
        {105, PushButton, "&5", 20, 100, 20, 14},
        {215, Label, "WHC", 45, 102, 80, 10},
        {106, PushButton, "&6", 20, 120, 20, 14},
        {216, Label, "LYF", 45, 122, 80, 10},
        {107, PushButton, "&7", 20, 140, 20, 14},
        {217, Label, "PBV", 45, 142, 80, 10},
        {108, PushButton, "&8", 20, 160, 20, 14},
        {218, Label, "XQ", 45, 162, 80, 10},
        {109, PushButton, "&9", 20, 180, 20, 14},
        {219, Label, "JZ", 45, 182, 80, 10},
        {110, PushButton, "&10", 20, 200, 20, 14},
        {220, Label, "1234567890", 45, 202, 80, 10},
        {111, PushButton, "&11", 20, 220, 20, 14},
        {221, Label, "+@!=/.,?", 45, 222, 80, 10},
        {200, GroupBox, "Lesson", 10, 10, 150, 242},
        {300, PushButton, "&Words", 15, 260, 35, 14},
        {201, Label, "Send 30 words", 55, 262, 60, 10},
        {301, PushButton, "&QSOs", 15, 278, 35, 14},
        {202, Label, "Send QSOs", 55, 280, 60, 10},
        {302, PushButton, "&Message", 140, 260, 35, 14},
        {203, Label, "Type a message", 180, 262, 60, 10},
        {303, PushButton, "&File", 140, 278, 35, 14},
        {204, Label, "Send a file", 180, 280, 60, 10},
        {306, PushButton, "&Send", 265, 260, 35, 14},
        {209, Label, "Straight Key", 305, 262, 40, 10},
        {307, PushButton, "S&end", 265, 278, 35, 14},
        {210, Label, "Paddle Key", 305, 280, 40, 10},
        {312, PushButton, "K&och", 15, 296, 35, 14},
        {231, Label, "Koch trainer", 55, 298, 60, 10},
        {313, PushButton, "P&rogress", 140, 296, 35, 14},
        {232, Label, "Your progress", 180, 298, 60, 10},
        {208, GroupBox, "Practice", 10, 248, 350, 73},
    }, kSettingsRows})};

// With fewer groups the practice rows move up, and the key buttons reach into the settings.
const ScreenLayout kMainWindowOneGroup = {380, 220, join({{
        {101, PushButton, "&1", 20, 20, 20, 14},
        {211, Label, "ETIM", 45, 22, 80, 10},
        {200, GroupBox, "Lesson", 10, 10, 150, 22},
        {300, PushButton, "&Words", 15, 60, 35, 14},
        {201, Label, "Send 30 words", 55, 62, 60, 10},
        {301, PushButton, "&QSOs", 15, 78, 35, 14},
        {202, Label, "Send QSOs", 55, 80, 60, 10},
        {302, PushButton, "&Message", 140, 60, 35, 14},
        {203, Label, "Type a message", 180, 62, 60, 10},
        {303, PushButton, "&File", 140, 78, 35, 14},
        {204, Label, "Send a file", 180, 80, 60, 10},
        {306, PushButton, "&Send", 265, 60, 35, 14},
        {209, Label, "Straight Key", 305, 62, 40, 10},
        {307, PushButton, "S&end", 265, 78, 35, 14},
        {210, Label, "Paddle Key", 305, 80, 40, 10},
        {312, PushButton, "K&och", 15, 96, 35, 14},
        {231, Label, "Koch trainer", 55, 98, 60, 10},
        {313, PushButton, "P&rogress", 140, 96, 35, 14},
        {232, Label, "Your progress", 180, 98, 60, 10},
        {208, GroupBox, "Practice", 10, 48, 350, 73},
    }, kSettingsRows}), {}, true};

const ScreenLayout kMainWindowNoGroups = {380, 220, join({{
        {200, GroupBox, "Lesson", 10, 10, 150, 0},
        {300, PushButton, "&Words", 15, 40, 35, 14},
        {201, Label, "Send 30 words", 55, 42, 60, 10},
        {301, PushButton, "&QSOs", 15, 58, 35, 14},
        {202, Label, "Send QSOs", 55, 60, 60, 10},
        {302, PushButton, "&Message", 140, 40, 35, 14},
        {203, Label, "Type a message", 180, 42, 60, 10},
        {303, PushButton, "&File", 140, 58, 35, 14},
        {204, Label, "Send a file", 180, 60, 60, 10},
        {306, PushButton, "&Send", 265, 40, 35, 14},
        {209, Label, "Straight Key", 305, 42, 40, 10},
        {307, PushButton, "S&end", 265, 58, 35, 14},
        {210, Label, "Paddle Key", 305, 60, 40, 10},
        {312, PushButton, "K&och", 15, 76, 35, 14},
        {231, Label, "Koch trainer", 55, 78, 60, 10},
        {313, PushButton, "P&rogress", 140, 76, 35, 14},
        {232, Label, "Your progress", 180, 78, 60, 10},
        {208, GroupBox, "Practice", 10, 28, 350, 73},
    }, kSettingsRows}), {}, true};

const ScreenLayout kMainWindowWithADrillAndAGaugeAdded = {380, 331, join({{
        {101, PushButton, "&1", 20, 20, 20, 14},
        {211, Label, "ETIM", 45, 22, 80, 10},
        {102, PushButton, "&2", 20, 40, 20, 14},
        {212, Label, "ANS", 45, 42, 80, 10},
        {103, PushButton, "&3", 20, 60, 20, 14},
        {213, Label, "ORK", 45, 62, 80, 10},
        {104, PushButton, "&4", 20, 80, 20, 14},
        {214, Label, "DUG", 45, 82, 80, 10},
        {105, PushButton, "&5", 20, 100, 20, 14},
        {215, Label, "WHC", 45, 102, 80, 10},
        {106, PushButton, "&6", 20, 120, 20, 14},
        {216, Label, "LYF", 45, 122, 80, 10},
        {107, PushButton, "&7", 20, 140, 20, 14},
        {217, Label, "PBV", 45, 142, 80, 10},
        {108, PushButton, "&8", 20, 160, 20, 14},
        {218, Label, "XQ", 45, 162, 80, 10},
        {109, PushButton, "&9", 20, 180, 20, 14},
        {219, Label, "JZ", 45, 182, 80, 10},
        {110, PushButton, "&10", 20, 200, 20, 14},
        {220, Label, "1234567890", 45, 202, 80, 10},
        {111, PushButton, "&11", 20, 220, 20, 14},
        {221, Label, "+@!=/.,?", 45, 222, 80, 10},
        {200, GroupBox, "Lesson", 10, 10, 150, 242},
        {300, PushButton, "&Words", 15, 260, 35, 14},
        {201, Label, "Send 30 words", 55, 262, 60, 10},
        {301, PushButton, "&QSOs", 15, 278, 35, 14},
        {202, Label, "Send QSOs", 55, 280, 60, 10},
        {302, PushButton, "&Message", 140, 260, 35, 14},
        {203, Label, "Type a message", 180, 262, 60, 10},
        {303, PushButton, "&File", 140, 278, 35, 14},
        {204, Label, "Send a file", 180, 280, 60, 10},
        {306, PushButton, "&Send", 265, 260, 35, 14},
        {209, Label, "Straight Key", 305, 262, 40, 10},
        {307, PushButton, "S&end", 265, 278, 35, 14},
        {210, Label, "Paddle Key", 305, 280, 40, 10},
        {312, PushButton, "K&och", 15, 296, 35, 14},
        {231, Label, "Koch trainer", 55, 298, 60, 10},
        {313, PushButton, "P&rogress", 140, 296, 35, 14},
        {232, Label, "Your progress", 180, 298, 60, 10},
        {320, PushButton, "&Drill", 265, 296, 35, 14},
        {233, Label, "A daily drill", 305, 298, 40, 10},
        {208, GroupBox, "Practice", 10, 248, 350, 73},
    }, kSettingsRows, {
        {321, PushButton, "&Gauge", 245, 124, 20, 14},
    }})};

const ScreenLayout kLessonHearing = {300, 220, {
        {100, Label, "Press a key from the group to hear the code", 5, 16, 180, 30},
        {103, PushButton, "Next", 260, 180, 25, 15},
        {2, PushButton, "Exit", 260, 200, 25, 15},
        {102, Label, "Key pressed:", 210, 16, 50, 10},
        {104, Edit, "", 265, 34, 0, 0},
        {101, Label, "", 265, 14, 6, 10},
    }};

const ScreenLayout kLessonRecognition = {300, 220, {
        {100, Label, "Random characters will now be sent\nfrom the group, press the key when\nyou recognise the character", 5, 16, 180, 30},
        {103, PushButton, "Next", 260, 180, 25, 15},
        {2, PushButton, "Exit", 260, 200, 25, 15},
        {102, Label, "Key pressed:", 210, 16, 50, 10},
        {104, Edit, "", 265, 34, 0, 0},
        {101, Label, "", 265, 14, 6, 10},
        {1, PushButton, "Start", 260, 160, 25, 15},
    }};

const ScreenLayout kLessonGroupTest = {300, 220, {
        {100, Label, "20 groups of 5 characters will now be sent \nfrom those learned so far\nThey will be displayed when finished sending", 5, 16, 180, 30},
        {2, PushButton, "Exit", 260, 200, 25, 15},
        {1, PushButton, "Start", 260, 160, 25, 15},
        {104, Label, "", 200, 5, 22, 162},
    }};

// Each sign's name is as tall as one and a half rows; its text stands at the top, beside its
// button.
const ScreenLayout kPunctuation = {300, 220, {
        {300, Label, "Familiarise yourself with these punctuation characters", 10, 5, 230, 10},
        {101, PushButton, "CT", 20, 20, 25, 15},
        {201, Label, "Start of Message", 50, 22, 80, 30},
        {102, PushButton, "AR", 20, 40, 25, 15},
        {202, Label, "End of Message", 50, 42, 80, 30},
        {103, PushButton, "VA", 20, 60, 25, 15},
        {203, Label, "End of Transmission", 50, 62, 80, 30},
        {104, PushButton, "BT", 20, 80, 25, 15},
        {204, Label, "Pause", 50, 82, 80, 30},
        {105, PushButton, "/", 20, 100, 25, 15},
        {205, Label, "Slash", 50, 102, 80, 30},
        {106, PushButton, ".", 20, 120, 25, 15},
        {206, Label, "Full Stop", 50, 122, 80, 30},
        {107, PushButton, ",", 20, 140, 25, 15},
        {207, Label, "Comma", 50, 142, 80, 30},
        {108, PushButton, "?", 20, 160, 25, 15},
        {208, Label, "Question Mark", 50, 162, 80, 30},
        {2, PushButton, "Exit", 260, 200, 25, 15},
    }, {}, true};

const ScreenLayout kThirtyWordTest = {160, 255, {
        {100, Label, "", 5, 5, 100, 242},
        {101, PushButton, "Start", 120, 210, 25, 15},
        {2, PushButton, "Exit", 120, 230, 25, 15},
    }};

// The place of the list of lines sent reaches 2 units below the client area; it ends at the
// window's edge.
const ScreenLayout kQso = {310, 260, {
        {101, PushButton, "Start", 270, 200, 25, 15},
        {102, PushButton, "Stop", 270, 220, 25, 15},
        {2, PushButton, "Exit", 270, 240, 25, 15},
        {103, ListBox, "", 5, 2, 240, 260},
        {104, Label, "QSO File:", 260, 10, 50, 10},
        {105, DropDownList, "MORSE1.TXT", 250, 20, 60, 50},
    },
    {103}};

const ScreenLayout kMessage = {350, 60, {
        {100, Label, "Text to send:", 5, 16, 42, 10},
        {101, Edit, "", 50, 15, 290, 12},
        {1, PushButton, "Send", 280, 40, 25, 15},
        {2, PushButton, "Exit", 320, 40, 25, 15},
    }};

// The list's place reaches 5 units below the client area; it ends at the window's edge.
const ScreenLayout kFile = {290, 260, {
        {104, Label, "File:", 20, 6, 20, 12},
        {105, Edit, "", 42, 5, 50, 12},
        {101, PushButton, "Start", 230, 5, 25, 15},
        {2, PushButton, "Exit", 260, 5, 25, 15},
        {103, ListBox, "", 5, 25, 270, 240},
    },
    {103}};

// The key screens as built, before they are shown and open their port.
const ScreenLayout kStraightKey = {320, 340, {
        {100, TextBox, "", 5, 25, 300, 290},
        {101, PushButton, "Timings", 230, 5, 40, 15},
    }};

const ScreenLayout kPaddleKey = {320, 340, {
        {100, TextBox, "", 5, 25, 300, 290},
    }};

// Without a kept progress the trainer starts at its first level.
const ScreenLayout kKochTrainer = {300, 232, {
        {100, Label, "Level 2 of 41: K M. Return sends a group of five; type what you heard and press Return.", 5, 5, 290, 20},
        {101, Label, "&Copy:", 5, 32, 30, 10},
        {102, Edit, "", 40, 30, 120, 12},
        {103, PushButton, "&Start", 170, 29, 50, 14},
        {2, PushButton, "Exit", 245, 29, 50, 14},
        {104, ListBox, "", 5, 50, 290, 130},
        {106, Label, "Co&urse:", 5, 188, 30, 10},
        {107, DropDownList, "LCWO order", 40, 186, 70, 60},
        {108, Label, "&Own order:", 115, 188, 45, 10},
        {109, Edit, "KMURESNAPTLWI.JZ=FOY,VG5/Q92H38B?47C1D60X", 165, 186, 130, 12},
        {105, Label, "", 5, 206, 290, 20},
    }};

const ScreenLayout kProgress = {480, 300, {
        {100, Label, "Level 2 of 41. No session yet", 5, 5, 470, 20},
        {2, PushButton, "Close", 425, 280, 50, 14},
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
        {"MainWindowElevenGroups", mainWindow(kElevenGroups), kMainWindowElevenGroups},
        {"MainWindowOneGroup", mainWindow({"ETIM"}), kMainWindowOneGroup},
        {"MainWindowNoGroups", mainWindow({}), kMainWindowNoGroups},
        {"MainWindowWithADrillAndAGaugeAdded", mainWindow(kElevenGroups, withDrillAndGauge()),
         kMainWindowWithADrillAndAGaugeAdded},
        {"LessonHearing", lessonStage(0), kLessonHearing},
        {"LessonRecognition", lessonStage(1), kLessonRecognition},
        {"LessonGroupTest", lessonStage(2), kLessonGroupTest},
        {"Punctuation",
         [](KeyviewRig& rig) -> std::unique_ptr<Screen> {
             const int last = static_cast<int>(rig.tutor().data.lessonGroups.size());
             EXPECT_EQ(rig.begin(last), keytut::LessonKind::Punctuation);
             auto screen = std::make_unique<Practice::Punctuation>(rig.app(), rig.opened);
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
         [](KeyviewRig& rig) -> std::unique_ptr<Screen> {
             return std::make_unique<StraightKeyScreen>(rig.app());
         },
         kStraightKey},
        {"PaddleKey",
         [](KeyviewRig& rig) -> std::unique_ptr<Screen> {
             return std::make_unique<keytut::keys::PaddleKeyScreen>(
                 rig.app(), paddleKeyLayout(), "12", keytut::keys::KeyScreenHooks{});
         },
         kPaddleKey},
        {"KochTrainer", shown<KochScreen>(), kKochTrainer},
        {"Progress", shown<ProgressScreen>(), kProgress},
        {"Tone", shown<keytut::ui::ToneScreen>(), kTone},
    };
    return all;
}

class KeyviewLayout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(KeyviewLayout, EveryControlStandsWhereTheTableSays) {
    // As the program runs: in its data folder, where the QSO files are.
    const std::filesystem::path saved = std::filesystem::current_path();
    std::filesystem::current_path(KEYTUT_DATA_DIR);
    struct Back {
        std::filesystem::path to;
        ~Back() { std::filesystem::current_path(to); }
    } back{saved};
    KeyviewRig rig;
    std::unique_ptr<Screen> screen = GetParam().open(rig);
    ASSERT_NE(screen, nullptr);
    expectLayout(*screen, GetParam().layout);
}

INSTANTIATE_TEST_SUITE_P(Screens, KeyviewLayout, ::testing::ValuesIn(cases()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace keyview::testing
