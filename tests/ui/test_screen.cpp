// The dialog layer: dialog units, controls by id, tab order, key tables, queued calls,
// blocking waits, key states and sounds.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <QAccessible>
#include <QComboBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <thread>

#include "platform/ui/blocking_wait.h"
#include "platform/ui/key_state.h"
#include "platform/ui/qt_bridge.h"
#include "platform/ui/screen.h"
#include "platform/ui/sound.h"
#include "test_support.h"
#include "tests/editions.h"

namespace keytut::ui {
namespace {

using testing::settle;
using testing::showActive;
using testing::waitFor;

// A screen that records what reaches its handlers and bindings.
class RecordingScreen : public Screen {
  public:
    explicit RecordingScreen(DialogFont font = DialogFont::SansSerif8)
        : Screen({"Test", 300, 220, font, FrameKind::Popup, nullptr}) {}
    std::vector<std::string> log;

    // A call that notes `entry` in the log when it arrives.
    std::function<void()> noting(const std::string& entry) {
        return queued([this, entry] { log.push_back(entry); });
    }
    // An action that notes `entry` at once.
    std::function<void()> notes(const std::string& entry) {
        return [this, entry] { log.push_back(entry); };
    }
    // A push button that notes its caption when pressed.
    QWidget* button(int id, const std::string& caption, int y, unsigned style = 0) {
        QWidget* widget =
            createControl({id, ControlKind::PushButton, caption, 20, y, 100, 14, style});
        onPressed(widget, notes(caption));
        return widget;
    }

  protected:
    void cancelled() override { log.push_back("cancel"); }
    void returnPressed() override { log.push_back("return"); }
};

TEST(DialogUnits, ConvertWithWindowsRounding) {
    EXPECT_EQ(mulDiv(5, 6, 4), 8);   // 7.5 rounds up
    EXPECT_EQ(mulDiv(3, 13, 8), 5);  // 4.875
    EXPECT_EQ(mulDiv(1, 13, 8), 2);  // 1.625
    EXPECT_EQ(mulDiv(-5, 6, 4), -8);
    EXPECT_EQ(dialogToPixels(QRect(20, 40, 100, 14), {6, 13}), QRect(30, 65, 150, 23));
}

TEST(DialogUnits, FontsMapToInstalledSansAndMonospace) {
    QFontInfo sans(dialogFont(DialogFont::SansSerif8));
    QFontInfo courier(dialogFont(DialogFont::Courier8));
    EXPECT_FALSE(sans.fixedPitch()) << sans.family().toStdString();
    EXPECT_TRUE(courier.fixedPitch()) << courier.family().toStdString();
    EXPECT_EQ(sans.pointSize(), 8);
    BaseUnits base = baseUnits(dialogFont(DialogFont::SansSerif8));
    EXPECT_GE(base.x, 4);
    EXPECT_LE(base.x, 10);
    EXPECT_GE(base.y, 9);
    EXPECT_LE(base.y, 20);
}

TEST(Screen, PlacesControlsAndWindowInDialogUnits) {
    RecordingScreen screen(DialogFont::Courier8);
    const BaseUnits base = screen.baseUnits();
    EXPECT_EQ(base.x, baseUnits(dialogFont(DialogFont::Courier8)).x);
    EXPECT_EQ(screen.size(), QSize(mulDiv(300, base.x, 4), mulDiv(220, base.y, 8)));
    QWidget* box =
        screen.createControl({101, ControlKind::Label, "", 265, 2, 10, 10, style::Border});
    EXPECT_EQ(box->geometry(), QRect(mulDiv(265, base.x, 4), mulDiv(2, base.y, 8),
                                     mulDiv(10, base.x, 4), mulDiv(10, base.y, 8)));
    EXPECT_EQ(screen.control(101), box);
    EXPECT_EQ(screen.idOf(box), 101);
    EXPECT_EQ(screen.control(999), nullptr);
}

// A framed label is sized for its text: no indent inside the border clips a character.
TEST(Screen, FramedLabelsHoldTheTextTheirBoxIsSizedFor) {
    RecordingScreen screen(DialogFont::Courier8);
    auto* box = qobject_cast<QLabel*>(
        screen.createControl({101, ControlKind::Label, "W", 265, 14, 6, 10, style::Border}));
    ASSERT_NE(box, nullptr);
    EXPECT_LE(box->sizeHint().width(), box->width());
}

// The ids of the tab stops in the order Tab visits them, from the first.
std::vector<int> tabWalk(RecordingScreen& screen, int from, int steps) {
    std::vector<int> ids;
    screen.focus(from);
    for (int i = 0; i < steps; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ids.push_back(screen.focusedId());
    }
    return ids;
}

TEST(Screen, TabOrderIsCreationOrderAndARecreatedControlGoesLast) {
    RecordingScreen screen;
    screen.createControl(
        {100, ControlKind::Label, "Instructions", 5, 16, 240, 40, style::Border | style::TabStop});
    screen.createControl(
        {101, ControlKind::Label, "", 265, 2, 10, 10, style::Border | style::TabStop});
    screen.createControl({102, ControlKind::Label, "not a stop", 5, 60, 50, 10});
    screen.createControl({103, ControlKind::PushButton, "Next", 260, 180, 25, 15});
    ASSERT_TRUE(showActive(screen));
    EXPECT_EQ(tabWalk(screen, 100, 4), (std::vector<int>{101, 103, 100, 101}));

    screen.destroyControl(101);
    settle();
    EXPECT_EQ(screen.control(101), nullptr);
    screen.createControl({101, ControlKind::ReadOnlyEdit, "", 265, 2, 10, 10, style::Border});
    EXPECT_TRUE(screen.control(101)->isVisible());
    EXPECT_EQ(tabWalk(screen, 100, 3), (std::vector<int>{103, 101, 100}));
    EXPECT_EQ(screen.controlIds(), (std::vector<int>{100, 102, 103, 101}));
}

TEST(Screen, FocusableLabelIsNamedByItsText) {
    RecordingScreen screen;
    screen.createControl({100, ControlKind::Label, "Press SPACE\r\nReturn for the next", 5, 16, 240,
                          40, style::TabStop});
    ASSERT_TRUE(showActive(screen));
    screen.focus(100);
    EXPECT_EQ(screen.focusedId(), 100);
    QAccessibleInterface* label = QAccessible::queryAccessibleInterface(screen.control(100));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(QAccessible::Name), "Press SPACE\nReturn for the next");
    EXPECT_TRUE(label->state().focusable);
    screen.setText(100, "E");
    EXPECT_EQ(label->text(QAccessible::Name), "E");
    EXPECT_EQ(screen.text(100), "E");
}

TEST(Screen, KeyTableTakesItsKeysBeforeTheFocusedControl) {
    RecordingScreen screen;
    screen.createControl({100, ControlKind::Label, "label", 5, 16, 240, 40, style::TabStop});
    screen.button(103, "Next", 180);
    screen.setKeyTable({{Qt::Key_Space, Qt::NoModifier, screen.notes("space")},
                        {Qt::Key_F1, Qt::NoModifier, screen.notes("F1")},
                        {Qt::Key_T, Qt::ControlModifier, screen.notes("Ctrl+T")},
                        {Qt::Key_F2, Qt::NoModifier, {}}});  // taken, and nothing done
    ASSERT_TRUE(showActive(screen));
    screen.focus(100);
    QTest::keyClick(screen.control(100), Qt::Key_Space);
    QTest::keyClick(screen.control(100), Qt::Key_F1);
    QTest::keyClick(screen.control(100), Qt::Key_F1, Qt::ShiftModifier);  // not in the table
    QTest::keyClick(screen.control(100), Qt::Key_T, Qt::ControlModifier);
    QTest::keyClick(screen.control(100), Qt::Key_T);  // plain T is not Ctrl+T
    QTest::keyClick(screen.control(100), Qt::Key_F2);
    screen.focus(103);
    QTest::keyClick(screen.control(103), Qt::Key_Space);  // the table's, not the button's
    EXPECT_EQ(screen.log, (std::vector<std::string>{"space", "F1", "Ctrl+T", "space"}));
}

TEST(Screen, EscapeAndTheCloseBoxCancelAndReturnFollowsTheWindowsRules) {
    RecordingScreen screen;
    screen.button(101, "First", 20, style::DefaultButton);
    screen.button(102, "Second", 40);
    screen.createControl({309, ControlKind::Edit, "", 290, 108, 10, 10});
    ASSERT_TRUE(showActive(screen));
    screen.focus(309);
    QTest::keyClick(screen.control(309), Qt::Key_Escape);
    QTest::keyClick(screen.control(309), Qt::Key_Return);  // the default button
    screen.focus(102);
    QTest::keyClick(screen.control(102), Qt::Key_Return);  // the focused button
    QTest::keyClick(screen.control(102), Qt::Key_Enter, Qt::KeypadModifier);
    screen.close();  // the Close box
    EXPECT_EQ(screen.log,
              (std::vector<std::string>{"cancel", "First", "Second", "Second", "cancel"}));
    // Neither Escape nor the Close box closes a screen whose cancelled() keeps it.
    EXPECT_FALSE(screen.ended());
    EXPECT_TRUE(screen.isVisible());

    // Without a default button Return reaches returnPressed(); a table entry for Return wins
    // even over a focused button.
    RecordingScreen plain;
    plain.createControl({100, ControlKind::Label, "label", 5, 16, 240, 40, style::TabStop});
    plain.button(103, "Next", 180);
    ASSERT_TRUE(showActive(plain));
    plain.focus(100);
    QTest::keyClick(plain.control(100), Qt::Key_Return);
    plain.setKeyTable({{Qt::Key_Return, Qt::NoModifier, plain.notes("table")}});
    plain.focus(103);
    QTest::keyClick(plain.control(103), Qt::Key_Return);
    EXPECT_EQ(plain.log, (std::vector<std::string>{"return", "table"}));

    // By default the Close box closes the screen.
    Screen closes({"Plain", 100, 100, DialogFont::SansSerif8, FrameKind::MainWindow, nullptr});
    QTimer::singleShot(0, &closes, [&] { closes.close(); });
    closes.run();
    EXPECT_TRUE(closes.ended());
    EXPECT_FALSE(closes.isVisible());
}

TEST(Screen, ListsReportTheLearnersMovesAndChoicesAndProgramSelectionIsSilent) {
    RecordingScreen screen;
    QWidget* speeds = screen.createControl({304, ControlKind::DropDownList, "", 290, 30, 30, 80});
    screen.setItems(304, {"5", "12", "15"});
    screen.onChosen(speeds, [&](int index) {
        screen.log.push_back("chose " + std::to_string(index));
        screen.noteChange("Word speed lowered to 12");
    });
    QWidget* files = screen.createControl({105, ControlKind::ListBox, "", 5, 100, 60, 50});
    screen.setItems(105, {"a", "b", "c"});
    screen.onMoved(files, [&](int row) { screen.log.push_back("moved " + std::to_string(row)); });
    screen.setCurrentItem(105, 0);
    EXPECT_EQ(screen.log, (std::vector<std::string>{"moved 0"}));
    screen.log.clear();
    screen.setSelection(304, 1);  // the program's choice is not the learner's
    EXPECT_TRUE(screen.log.empty());
    EXPECT_EQ(screen.text(304), "12");
    ASSERT_TRUE(showActive(screen));
    screen.focus(304);
    QTest::keyClick(speeds, Qt::Key_Down);
    EXPECT_EQ(screen.selection(304), 2);
    screen.focus(105);
    QTest::keyClick(files, Qt::Key_Down);
    QTest::keyClick(files, Qt::Key_Down);
    EXPECT_EQ(screen.log, (std::vector<std::string>{"chose 2", "moved 1", "moved 2"}));
    // The choice is said with what followed from it.
    EXPECT_NE(testing::announced().find("Word speed lowered to 12"), std::string::npos);
}

TEST(Screen, DigitsOnlyEditRefusesOtherCharacters) {
    RecordingScreen screen;
    screen.createControl({309, ControlKind::Edit, "", 290, 108, 10, 10, style::DigitsOnly});
    ASSERT_TRUE(showActive(screen));
    screen.focus(309);
    QTest::keyClicks(screen.control(309), "1a2-3 ");
    EXPECT_EQ(screen.text(309), "123");
}

TEST(Screen, QueuedCallsArriveInOrderAndGoNowhereAfterClosing) {
    std::function<void()> late;
    {
        RecordingScreen screen;
        late = screen.noting("late");
        auto key = screen.noting("key E");
        auto end = screen.noting("end");
        key();
        end();
        EXPECT_TRUE(screen.log.empty());  // queued, not run
        settle();
        EXPECT_EQ(screen.log, (std::vector<std::string>{"key E", "end"}));
        key();
        screen.endScreen();
        key();
        settle();
        EXPECT_EQ(screen.log.size(), 2u);
    }
    late();  // the screen is gone
    settle();
}

// A sound played to its end: the hold ends with the sound, long before its limit, or at the
// limit when the sound never ends; a call queued meanwhile runs after it.
TEST(Screen, AHoldUntilEndsWhenItsConditionHoldsOrAtItsLimit) {
    RecordingScreen screen;
    bool done = false;
    QTimer::singleShot(30, [&done] { done = true; });
    QElapsedTimer clock;
    clock.start();
    holdUntil([&done] { return done; }, 10000, &screen, screen.notes("ended"));
    EXPECT_TRUE(blockingWaitActive());
    screen.noting("call")();
    EXPECT_TRUE(waitFor([&] { return screen.log.size() == 2; }, 5000));
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_EQ(screen.log, (std::vector<std::string>{"ended", "call"}));

    screen.log.clear();
    clock.restart();
    holdUntil([] { return false; }, 60, &screen, screen.notes("limit"));
    EXPECT_TRUE(waitFor([&] { return !screen.log.empty(); }, 5000));
    EXPECT_GE(clock.elapsed(), 60);
    EXPECT_FALSE(blockingWaitActive());
}

// A lesson's pause after a character: no nested loop, and everything else waits for its end.
TEST(Screen, ATimedHoldReturnsAtOnceHoldsCallsAndKeysAndEndsAtOnceOnEscape) {
    RecordingScreen screen;
    QWidget* go = screen.button(301, "Go", 10);
    ASSERT_TRUE(showActive(screen));
    screen.focus(go);
    holdFor(80, &screen, screen.notes("held"));
    EXPECT_TRUE(blockingWaitActive());  // returned before the hold's end
    screen.noting("call")();
    QTest::keyClick(go, Qt::Key_Space);
    settle();
    EXPECT_FALSE(blockingWaitActive());
    EXPECT_EQ(screen.log, (std::vector<std::string>{"held", "call", "Go"}));

    // Escape: delivered first, at once; the key pressed before it is dropped.
    screen.log.clear();
    QElapsedTimer clock;
    clock.start();
    holdFor(10000, &screen, screen.notes("after"));
    QTest::keyClick(go, Qt::Key_Space);
    QTest::keyClick(go, Qt::Key_Escape);
    settle();
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_EQ(screen.log, (std::vector<std::string>{"cancel", "after"}));

    // A hold whose screen has gone ends without calling it.
    bool ran = false;
    auto gone = std::make_unique<RecordingScreen>();
    holdFor(10000, gone.get(), [&ran] { ran = true; });
    clock.restart();
    gone.reset();
    settle();
    EXPECT_FALSE(blockingWaitActive());
    EXPECT_LT(clock.elapsed(), 5000);  // ended with its screen
    EXPECT_FALSE(ran);
}

TEST(Screen, PollerStopsWithTheScreenAndSkipsBlockingWaits) {
    RecordingScreen screen;
    int ticks = 0;
    screen.startPoller(5, [&] { ++ticks; });
    holdFor(40, &screen, [] {});
    waitFor([] { return !blockingWaitActive(); });
    EXPECT_EQ(ticks, 0);
    QTest::qWait(40);
    EXPECT_GT(ticks, 0);
    screen.endScreen();
    const int atEnd = ticks;
    QTest::qWait(30);
    EXPECT_EQ(ticks, atEnd);
}

TEST(Screen, PressTabMovesTheFocusOnAfterTheHandler) {
    RecordingScreen screen;
    screen.createControl({101, ControlKind::Label, "", 265, 2, 10, 10, style::TabStop});
    screen.createControl({100, ControlKind::Label, "text", 5, 16, 240, 40, style::TabStop});
    ASSERT_TRUE(showActive(screen));
    screen.focus(101);
    screen.pressTab();
    EXPECT_EQ(screen.focusedId(), 101);
    settle();
    EXPECT_EQ(screen.focusedId(), 100);
}

TEST(Screen, SenderReportsTheEndOfItsTextToTheScreenThatAskedOnce) {
    Tutor tutor(kEarkeyProfile);
    CollectingMessageSink messages;
    loadCodeTableFrom(tutor.codes, "69,.\n84,-\n", messages);
    ASSERT_TRUE(messages.messages.empty());
    auto device = std::make_unique<audio::FakeWaveOut>();
    audio::FakeWaveOut* out = device.get();
    tutor.sender.attach(std::move(device));
    RecordingScreen screen;
    tutor.sender.play("ETE", screen.noting("sent"));
    out->runUntilIdle();
    EXPECT_EQ(out->written().size(), 3u);
    EXPECT_TRUE(screen.log.empty());  // the end arrives behind what is waiting
    settle();
    EXPECT_EQ(screen.log, (std::vector<std::string>{"sent"}));
}

TEST(QtBridge, DispatcherRunsCallsOnTheUiThreadInOrder) {
    const auto uiThread = std::this_thread::get_id();
    std::vector<int> order;
    bool elsewhere = false;
    audio::Dispatcher dispatch = uiDispatcher();
    std::thread audioThread([&] {
        for (int i = 0; i < 5; ++i) {
            dispatch([&, i] {
                order.push_back(i);
                elsewhere = elsewhere || std::this_thread::get_id() != uiThread;
            });
        }
    });
    audioThread.join();
    EXPECT_TRUE(order.empty());  // queued, not run on the calling thread
    settle();
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_FALSE(elsewhere);
}

QKeyEvent keyEvent(QEvent::Type type, int key, Qt::KeyboardModifiers mods = Qt::NoModifier,
                   bool autoRepeat = false, quint32 scanCode = 0) {
    return QKeyEvent(type, key, mods, scanCode, 0, 0, QString(), autoRepeat);
}

TEST(KeyStateTracker, ReportsANewPressOnceAsGetAsyncKeyStateDoes) {
    KeyStateTracker keys;
    keys.observe(keyEvent(QEvent::KeyPress, Qt::Key_E));
    EXPECT_EQ(keys.asyncKeyState(Qt::Key_E), 0x8001);
    EXPECT_EQ(keys.asyncKeyState(Qt::Key_E), 0x8000);  // held: reported once
    keys.observe(keyEvent(QEvent::KeyPress, Qt::Key_E, Qt::NoModifier, true));
    EXPECT_EQ(keys.asyncKeyState(Qt::Key_E), 0x8000);  // auto-repeat is no new press
    keys.observe(keyEvent(QEvent::KeyRelease, Qt::Key_E));
    EXPECT_EQ(keys.asyncKeyState(Qt::Key_E), 0);

    // Pressed and released between two queries: pressed since, but not down.
    keys.observe(keyEvent(QEvent::KeyPress, Qt::Key_5));
    keys.observe(keyEvent(QEvent::KeyRelease, Qt::Key_5));
    EXPECT_EQ(keys.asyncKeyState(Qt::Key_5), 0x0001);
    EXPECT_EQ(keys.asyncKeyState(Qt::Key_5), 0);

    // Shifted letters count; keypad digits and other keys are not polled.
    keys.observe(keyEvent(QEvent::KeyPress, Qt::Key_K, Qt::ShiftModifier));
    keys.observe(keyEvent(QEvent::KeyPress, Qt::Key_7, Qt::KeypadModifier));
    keys.observe(keyEvent(QEvent::KeyPress, Qt::Key_Space));
    EXPECT_EQ(keys.asyncKeyState(Qt::Key_K), 0x8001);
    EXPECT_EQ(keys.asyncKeyState(Qt::Key_7), 0);
    EXPECT_EQ(keys.asyncKeyState(Qt::Key_Space), 0);
}

TEST(KeyStateTracker, ReleaseFoundByScanCodeAndEverythingForgottenOnDeactivation) {
    KeyStateTracker keys;
    // Pressed as '1', released as '!' after Shift went down: the same hardware key.
    keys.observe(keyEvent(QEvent::KeyPress, Qt::Key_1, Qt::NoModifier, false, 10));
    keys.observe(keyEvent(QEvent::KeyRelease, Qt::Key_Exclam, Qt::ShiftModifier, false, 10));
    EXPECT_EQ(keys.asyncKeyState(Qt::Key_1), 0x0001);
    keys.observe(keyEvent(QEvent::KeyPress, Qt::Key_A));
    QEvent deactivate(QEvent::ApplicationDeactivate);
    keys.eventFilter(qApp, &deactivate);
    EXPECT_EQ(keys.asyncKeyState(Qt::Key_A), 0);
}

TEST(KeyStateTracker, SeesKeysTypedIntoAScreenThroughTheApplicationFilter) {
    KeyStateTracker keys;
    qApp->installEventFilter(&keys);
    RecordingScreen screen;
    screen.createControl({100, ControlKind::Label, "label", 5, 16, 240, 40, style::TabStop});
    ASSERT_TRUE(showActive(screen));
    screen.focus(100);
    QTest::keyPress(screen.control(100), Qt::Key_Q);
    EXPECT_EQ(keys.asyncKeyState(Qt::Key_Q), 0x8001);
    EXPECT_EQ(keys.asyncKeyState(Qt::Key_Q), 0x8000);
    QTest::keyRelease(screen.control(100), Qt::Key_Q);
    EXPECT_EQ(keys.asyncKeyState(Qt::Key_Q), 0);
    qApp->removeEventFilter(&keys);
}

class SoundTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ =
            std::filesystem::temp_directory_path() / ("keytut-sound-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(folder_);
    }
    void TearDown() override {
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(folder_);
    }
    void writeWav(const std::string& name, int rate, int channels, const std::vector<short>& data) {
        SF_INFO info{};
        info.samplerate = rate;
        info.channels = channels;
        info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        SNDFILE* file = sf_open((folder_ / name).c_str(), SFM_WRITE, &info);
        ASSERT_NE(file, nullptr);
        sf_writef_short(file, data.data(), static_cast<sf_count_t>(data.size()) / channels);
        sf_close(file);
    }
    std::filesystem::path folder_;
    std::filesystem::path previous_;
};

TEST_F(SoundTest, SoundFileIsMixedToMonoAndResampledTo8000) {
    std::vector<short> stereo;
    for (int i = 0; i < 16000; ++i) {  // one second at 16000 Hz, left and right opposite
        stereo.push_back(8000);
        stereo.push_back(-8000);
    }
    writeWav("stereo.wav", 16000, 2, stereo);
    auto samples = loadSoundFile(folder_ / "stereo.wav");
    ASSERT_TRUE(samples);
    EXPECT_NEAR(static_cast<double>(samples->size()), 8000.0, 20.0);
    EXPECT_LE(std::abs((*samples)[4000]), 2);

    std::vector<short> mono8000{100, -200, 300, -400};
    writeWav("mono.wav", 8000, 1, mono8000);
    auto same = loadSoundFile(folder_ / "mono.wav");
    ASSERT_TRUE(same);
    EXPECT_EQ(*same, (std::vector<std::int16_t>{100, -200, 300, -400}));

    EXPECT_FALSE(loadSoundFile(folder_ / "missing.wav"));
    std::filesystem::create_directory(folder_ / "folder.wav");
    EXPECT_FALSE(loadSoundFile(folder_ / "folder.wav"));
}

TEST_F(SoundTest, PlaySoundPlaysTheFileOrAChimeAndCallsBackAtTheEnd) {
    testing::TestProgram program(Edition::Earkey);
    QObject screen;
    int ended = 0;
    std::size_t queuedAtEnd = 99;
    auto play = [&] {
        QTimer::singleShot(30, [&] {
            for (auto* out : program.audio.opened)
                out->advance(1'000'000);
        });
        program.app.playSound("ding.wav", &screen, [&] {
            ++ended;
            queuedAtEnd = program.audio.opened[0]->queued();
        });
    };
    play();
    EXPECT_EQ(ended, 0);  // returned at once
    ASSERT_EQ(program.audio.opened.size(), 1u);
    auto* out = program.audio.opened[0];
    ASSERT_EQ(out->written().size(), 1u);
    EXPECT_EQ(out->written()[0].samples, chimeSamples());
    settle();
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(queuedAtEnd, 0u);  // called after the end, not before
    const auto chime = chimeSamples();
    EXPECT_GT(chime.size(), 800u);
    EXPECT_LT(chime.size(), 4000u);

    writeWav("ding.wav", 8000, 1, {1000, 2000, 3000});
    play();
    settle();
    EXPECT_EQ(ended, 2);
    ASSERT_EQ(program.audio.opened.size(), 1u);  // one device for all sounds
    EXPECT_EQ(out->written().back().samples, (std::vector<std::int16_t>{1000, 2000, 3000}));
}

}  // namespace
}  // namespace keytut::ui
