// Both editions' decode screens with a simulated key and a virtual-clock voice: what the learner
// sees and hears of the decoded text, the timing report, the port messages, and the voice and
// port let go however the screen ends.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <QAccessible>
#include <QApplication>
#include <QChart>
#include <QComboBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScatterSeries>
#include <QTest>
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "earkey/key_screens.h"
#include "fake_sidetone.h"
#include "keying/hand_keying.h"
#include "keyview/key_screens.h"
#include "platform/keys/key_setting_screen.h"
#include "platform/keys/serial_key.h"
#include "platform/keys/timing_picture.h"
#include "tests/editions.h"
#include "tests/ui/test_support.h"

namespace keytut::testing {
namespace {

using keys::KeyScreen;
using keys::KeyScreenLayout;
using ui::testing::settle;
using ui::testing::showActive;

struct Box {
    std::string title, text;
    bool exclamation;
    bool operator==(const Box&) const = default;
};

ui::ProgramOptions withPorts(std::map<std::string, std::string> ports) {
    ui::ProgramOptions options;
    options.portDevices = std::move(ports);
    return options;
}

// A program of one edition with the shipped data and the given --port mappings; its screens get
// a fake voice and record their message boxes.
class KeyRig {
  public:
    KeyRig(Edition edition, std::map<std::string, std::string> ports)
        : tutor(profileOf(edition)),
          app(tutor, audio, messages, keys, withPorts(std::move(ports))) {
        CollectingMessageSink sink;
        EXPECT_TRUE(tutor.loadData(KEYTUT_DATA_DIR, sink));
    }

    keys::KeyScreenHooks hooks() {
        keys::KeyScreenHooks h;
        h.openVoice = [this]() -> std::unique_ptr<SidetoneVoice> {
            ++voicesOpened;
            auto v = std::make_unique<FakeSidetone>([this] { voice = nullptr; });
            v->pausable = pausableVoices;
            voice = v.get();
            return v;
        };
        h.messageBox = [this](const std::string& title, const std::string& text, bool icon) {
            boxes.push_back({title, text, icon});
        };
        h.now = [this] { return static_cast<double>(clock) * 0.005; };
        return h;
    }

    KeyScreenLayout straightLayout() const {
        return &tutor.profile == &kEarkeyProfile ? earkey::straightKeyLayout()
                                                 : keyview::straightKeyLayout();
    }
    KeyScreenLayout paddleLayout() const {
        return &tutor.profile == &kEarkeyProfile ? earkey::paddleKeyLayout()
                                                 : keyview::paddleKeyLayout();
    }

    // Ticks of the voice, each followed by the events it caused (the focus moves of speaking).
    void ticks(long n) {
        for (long i = 0; i < n && voice; ++i) {
            ++clock;
            voice->tick();
            QCoreApplication::processEvents();
        }
    }

    // The texts the screen reader was given: the accessible name of every control the focus
    // landed on, in order.
    void listen() {
        QObject::connect(qApp, &QApplication::focusChanged, &context_,
                         [this](QWidget*, QWidget* w) {
                             if (auto* a = w ? QAccessible::queryAccessibleInterface(w) : nullptr)
                                 spoken.push_back(a->text(QAccessible::Name).toStdString());
                         });
    }

    Tutor tutor;
    ui::testing::TestAudio audio;
    CollectingMessageSink messages;
    ui::KeyStateTracker keys;
    ui::App app;
    FakeSidetone* voice = nullptr;
    bool pausableVoices = false;
    long clock = 0;  // virtual ticks of 5 ms, paused or not
    int voicesOpened = 0;
    std::vector<Box> boxes;
    std::vector<std::string> spoken;

  private:
    QObject context_;
};

// Each test writes its own file: ctest runs the tests of this program side by side.
std::string writeScript(const SimKeyScript& script, const std::string& name) {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string prefix = test ? std::string(test->test_suite_name()) + "." + test->name() : "";
    std::replace(prefix.begin(), prefix.end(), '/', '_');
    auto path = std::filesystem::path(::testing::TempDir()) / (prefix + "-" + name);
    std::ofstream(path) << formatSimKeyScript(script);
    return path.string();
}

std::string straightScript(const std::string& text, int wpm) {
    CodeTable codes;
    CollectingMessageSink sink;
    loadCodeTable(codes, KEYTUT_DATA_DIR, sink);
    HandKeying how;
    how.wpm = wpm;
    return writeScript(keyStraight(text, codes, how), "straight.txt");
}

class KeyScreens : public ::testing::TestWithParam<Edition> {};

TEST_P(KeyScreens, StraightKeyDecodesAndReportsItsTimings) {
    KeyRig rig(GetParam(), {{"1", "sim:" + straightScript("PARIS PARIS PARIS", 12)}});
    rig.listen();
    // The word speed is timed on the voice's clock here, so that virtual ticks make seconds.
    StraightKeyDecoder decoder(rig.tutor.codes, profileOf(GetParam()),
                               [&rig] { return rig.voice ? rig.voice->ticks * 5 : 0; });
    keys::StraightKeyScreen screen(rig.app, rig.straightLayout(), decoder, rig.hooks());
    ASSERT_TRUE(screen.openPort());
    ASSERT_TRUE(showActive(screen));
    ASSERT_NE(rig.voice, nullptr);
    rig.ticks(3400);  // 17 s: the text, and the flush of its last character

    EXPECT_EQ(screen.text(keys::kDecodedTextBox), "PARIS PARIS PARIS");
    // The tone follows the key in the same tick: P is a dot of 20 ticks, a gap, a dash of 60.
    auto tones = rig.voice->tones.substr(rig.voice->tones.find('#'));
    EXPECT_EQ(tones.substr(0, 101),
              std::string(20, '#') + std::string(20, '.') + std::string(60, '#') + ".");
    if (GetParam() == Edition::Earkey) {
        // The box named as the screen opens on it, then every character through the spoken
        // label, alone.
        ASSERT_FALSE(rig.spoken.empty());
        EXPECT_EQ(rig.spoken.front(), "Decoded text");
        std::string said;
        for (std::size_t i = 1; i < rig.spoken.size(); ++i)
            said += rig.spoken[i];
        EXPECT_EQ(said, "PARISPARISPARIS");
        // The learner moves from the one to the other: each is named before its text.
        rig.spoken.clear();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(rig.spoken, (std::vector<std::string>{"Decoded text", "Last character: S"}));
        QTest::keyClick(&screen, Qt::Key_F1);
    } else {
        QTest::mouseClick(screen.controlAs<QPushButton>(keys::kTimingsButton), Qt::LeftButton);
    }
    const std::string wpm = GetParam() == Edition::Keyview ? " WPM" : "";
    ASSERT_EQ(rig.boxes.size(), 1u);
    EXPECT_EQ(rig.boxes[0], (Box{"Timings",
                                 "Dot to dash ratio: 1:3.0\r\nWord speed: 12" + wpm +
                                     "\r\nCharacter speed: 12" + wpm,
                                 false}));
    EXPECT_EQ(screen.text(keys::kDecodedTextBox), "");
    EXPECT_TRUE(screen.isVisible());
}

// Return does nothing on the straight-key screen, whichever control has the focus (Keyview's
// Timings button too): the report, which empties the text, comes only from F1 or the button.
TEST_P(KeyScreens, ReturnLeavesTheStraightKeyScreenAsItIs) {
    KeyRig rig(GetParam(), {{"1", "sim:" + straightScript("PARIS", 20)}});
    StraightKeyDecoder decoder(rig.tutor.codes, profileOf(GetParam()), [] { return 0; });
    keys::StraightKeyScreen screen(rig.app, rig.straightLayout(), decoder, rig.hooks());
    ASSERT_TRUE(screen.openPort());
    ASSERT_TRUE(showActive(screen));
    rig.ticks(2000);
    ASSERT_EQ(screen.text(keys::kDecodedTextBox), "PARIS");
    int tried = 0;
    for (int id : screen.controlIds()) {
        QWidget* control = screen.control(id);
        if (control->focusPolicy() == Qt::NoFocus)
            continue;
        control->setFocus();
        QTest::keyClick(control, Qt::Key_Return);
        QTest::keyClick(control, Qt::Key_Enter, Qt::KeypadModifier);
        settle();
        ++tried;
        EXPECT_TRUE(rig.boxes.empty()) << id;
        EXPECT_EQ(screen.text(keys::kDecodedTextBox), "PARIS") << id;
        EXPECT_TRUE(screen.isVisible());
    }
    EXPECT_GE(tried, 1);
    if (GetParam() == Edition::Keyview) {
        // The button itself still gives the report, with SPACE as with a click.
        screen.control(keys::kTimingsButton)->setFocus();
        QTest::keyClick(screen.control(keys::kTimingsButton), Qt::Key_Space);
        settle();
        ASSERT_EQ(rig.boxes.size(), 1u);
        EXPECT_EQ(rig.boxes[0].title, "Timings");
    }
}

// Ports that lead nowhere a key can be read: each says why in a box and the screen never shows.
// Nothing waits on a FIFO or reads a device or a huge file to its end.
TEST_P(KeyScreens, PortMessagesAndTheScreenNeverShown) {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);  // its far end: nobody holds it
    ASSERT_GE(master, 0);
    ::grantpt(master);
    ::unlockpt(master);
    const auto dir =
        std::filesystem::path(::testing::TempDir()) / ("key-ports-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto fifo = (dir / "fifo").string();
    std::filesystem::remove(fifo);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const auto huge = (dir / "huge.txt").string();
    {
        std::ofstream out(huge, std::ios::binary);
        const std::string blanks((1 << 20) - 1, ' ');
        for (std::uintmax_t written = 0; written <= kMaxKeyScriptBytes; written += 1 << 20)
            out << blanks << '\n';
    }
    const std::map<std::string, std::string> ports{
        {"2", "sim:/nonexistent/k.txt"}, {"3", "sim:" + fifo}, {"4", "sim:/dev/zero"},
        {"5", "sim:" + dir.string()},    {"6", "sim:" + huge}, {"8", "/dev/null"}};
    for (auto [port, message] : {
             std::pair<std::string, std::string>{"", "No Comm Port Selected"},
             {"7", "Can't open port 7"},
             {"2", "Can't read the key script /nonexistent/k.txt"},
             {"3", "Can't open port 3"},  // a FIFO
             {"4", "Can't open port 4"},  // a device
             {"5", "Can't open port 5"},  // a folder
             {"6", "Key script " + huge + ", too large (over 16 MB)"},
             {"8", "Can't open port 8"},  // a device that is not a serial port
             {"9", "Can't open port 9"},  // a pseudo-terminal: no modem lines
         }) {
        KeyRig rig(GetParam(), ports);
        rig.app.settings().setPort(port);
        StraightKeyDecoder decoder(rig.tutor.codes, profileOf(GetParam()), [] { return 0; });
        QElapsedTimer clock;
        clock.start();
        keys::StraightKeyScreen straight(rig.app, rig.straightLayout(), decoder, rig.hooks());
        straight.start();  // returns at once
        keys::PaddleKeyScreen paddle(rig.app, rig.paddleLayout(), "12", rig.hooks());
        paddle.start();
        EXPECT_LT(clock.elapsed(), 3000) << port;
        EXPECT_FALSE(straight.isVisible());
        EXPECT_EQ(rig.voicesOpened, 0);
        ASSERT_EQ(rig.boxes.size(), 2u) << port;
        EXPECT_EQ(rig.boxes[0], (Box{"Comm Port Error", message, true})) << port;
        EXPECT_EQ(rig.boxes[1], rig.boxes[0]);
    }
    std::filesystem::remove_all(dir);
    ::close(master);
}

TEST_P(KeyScreens, VoiceAndPortAreLetGoHoweverTheScreenEnds) {
    const auto path = writeScript({}, "empty.txt");
    for (int way = 0; way < 3; ++way) {
        KeyRig rig(GetParam(), {{"1", "sim:" + path}});
        auto screen =
            std::make_unique<keys::PaddleKeyScreen>(rig.app, rig.paddleLayout(), "12", rig.hooks());
        ASSERT_TRUE(screen->openPort());
        ASSERT_TRUE(showActive(*screen));
        rig.ticks(10);
        ASSERT_NE(rig.voice, nullptr);
        if (way == 0)
            QTest::keyClick(screen.get(), Qt::Key_Escape);  // Escape
        else if (way == 1)
            screen->close();  // the Close box
        else
            screen.reset();  // the program ends with the screen open
        settle();
        EXPECT_EQ(rig.voice, nullptr) << way;
        if (screen) {
            EXPECT_FALSE(screen->isVisible()) << way;
            EXPECT_FALSE(screen->portOpen()) << way;
        }
    }
}

TEST_P(KeyScreens, UnpluggedPortIsReportedOnceAndTheScreenCanBeLeft) {
    if (::access("/run/lock", W_OK) != 0 && ::access("/var/lock", W_OK) != 0)
        GTEST_SKIP() << "no writable /run/lock or /var/lock: Qt SerialPort opens no port";
    int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ::grantpt(master);
    ::unlockpt(master);
    KeyRig rig(GetParam(), {{"3", ::ptsname(master)}});
    rig.listen();
    rig.app.settings().setPort("3");
    StraightKeyDecoder decoder(rig.tutor.codes, profileOf(GetParam()), [] { return 0; });
    // The pseudo-terminal stands in for a serial adapter (the program would not take it: it has
    // no modem lines).
    keys::KeyScreenHooks hooks = rig.hooks();
    hooks.openKey = [](const std::string& portText, const keys::KeyPortPlace& place) {
        auto key = keys::SerialKey::openTerminal(place.portDevices->at(portText));
        return key ? KeyPortResult(std::unique_ptr<KeySource>(std::move(key)))
                   : KeyPortResult(KeyPortError{"not opened"});
    };
    keys::StraightKeyScreen screen(rig.app, rig.straightLayout(), decoder, hooks);
    ASSERT_TRUE(screen.openPort());
    ASSERT_TRUE(showActive(screen));
    rig.ticks(20);
    ::close(master);  // the adapter is pulled out
    for (int i = 0; i < 3; ++i) {
        rig.ticks(20);
        ui::testing::spin(600);
    }
    const std::string failed = "Port 3 has stopped working: the key may have been unplugged.";
    if (GetParam() == Edition::Earkey) {
        EXPECT_EQ(std::count(rig.spoken.begin(), rig.spoken.end(), failed), 1);
        EXPECT_EQ(screen.text(keys::kLastCharLabel), failed);
        EXPECT_TRUE(rig.boxes.empty());
    } else {
        EXPECT_EQ(rig.boxes, (std::vector<Box>{{"Comm Port Error", failed, true}}));
    }
    screen.close();
    settle();
    EXPECT_FALSE(screen.isVisible());
    EXPECT_EQ(rig.voice, nullptr);
}

TEST_P(KeyScreens, PaddleScreenKeysCqAtTwentyWpmInEveryKeyerMode) {
    CodeTable codes;
    CollectingMessageSink sink;
    loadCodeTable(codes, KEYTUT_DATA_DIR, sink);
    HandKeying how;
    how.wpm = 20;
    how.jitter = 0.1;
    const auto script = writeScript(keyPaddles("CQ", codes, how), "cq.txt");
    for (KeyerMode mode : keyerModes()) {
        KeyRig rig(GetParam(), {{"1", "sim:" + script}});
        rig.app.settings().setKeyerMode(mode);
        rig.listen();
        keys::PaddleKeyScreen screen(rig.app, rig.paddleLayout(), "20", rig.hooks());
        ASSERT_TRUE(screen.openPort());
        ASSERT_TRUE(showActive(screen));
        rig.ticks(1000);
        EXPECT_EQ(screen.keyer().mode(), mode);
        EXPECT_EQ(screen.keyer().dotTicks(), 12);
        // The idle lead-in's blank first.
        EXPECT_EQ(screen.text(keys::kDecodedTextBox), " CQ") << keyerModeName(mode);
        if (GetParam() == Edition::Earkey) {
            EXPECT_EQ(screen.text(keys::kLastCharLabel), "Q");
            // The empty text box has the focus first, by its name; then each character is
            // said once, alone.
            EXPECT_EQ(rig.spoken, (std::vector<std::string>{"Decoded text", "C", "Q"}));
        }
    }
}

// The far end of a pseudo-terminal standing in for a MIDI adapter's device node: raw, so that
// the bytes pass as they are.
class FakeMidiAdapter {
  public:
    FakeMidiAdapter() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        ::grantpt(master_);
        ::unlockpt(master_);
        device = ::ptsname(master_);
        slave_ = ::open(device.c_str(), O_RDWR | O_NOCTTY);
        termios raw{};
        ::tcgetattr(slave_, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(slave_, TCSANOW, &raw);
    }
    ~FakeMidiAdapter() {
        ::close(slave_);
        if (master_ >= 0)
            ::close(master_);
    }
    // What the program has sent, waiting up to a second for `count` bytes.
    std::vector<std::uint8_t> sent(std::size_t count) {
        std::vector<std::uint8_t> out;
        for (int i = 0; i < 100 && out.size() < count; ++i) {
            pollfd p{master_, POLLIN, 0};
            if (::poll(&p, 1, 10) == 1) {
                std::uint8_t b[64];
                const ssize_t n = ::read(master_, b, sizeof b);
                out.insert(out.end(), b, b + std::max<ssize_t>(n, 0));
            }
            QCoreApplication::processEvents();
        }
        return out;
    }
    // Sends bytes and waits until they can be read at the program's end.
    void send(std::vector<std::uint8_t> bytes) {
        ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), ssize_t(bytes.size()));
        for (int i = 0; i < 1000; ++i) {
            int queued = 0;
            ::ioctl(slave_, FIONREAD, &queued);
            if (queued > 0)
                return;
            ::usleep(1000);
        }
    }
    void unplug() {
        ::close(master_);
        master_ = -1;
    }
    std::string device;

  private:
    int master_ = -1;
    int slave_ = -1;
};

TEST_P(KeyScreens, MidiAdapterIsSwitchedKeysAndIsSwitchedBack) {
    FakeMidiAdapter adapter;
    KeyRig rig(GetParam(), {{"1", "midi:" + adapter.device}});
    StraightKeyDecoder decoder(rig.tutor.codes, profileOf(GetParam()), [] { return 0; });
    auto screen = std::make_unique<keys::StraightKeyScreen>(rig.app, rig.straightLayout(), decoder,
                                                            rig.hooks());
    ASSERT_TRUE(screen->openPort());
    // MIDI mode, then the adapter's own keyer in pass-through.
    EXPECT_EQ(adapter.sent(5), (std::vector<std::uint8_t>{0xB0, 0x00, 0x00, 0xC0, 0x00}));
    ASSERT_TRUE(showActive(*screen));
    adapter.send({0xB0, 0x00, 0x00});  // the echo
    // Two E's on note 0: the first key-down only arms the decoder. Running status and a note
    // on with velocity 0 for the releases, a clock byte in between.
    for (int i = 0; i < 3; ++i) {
        adapter.send(i == 0 ? std::vector<std::uint8_t>{0x90, 0x00, 0x7F}
                            : std::vector<std::uint8_t>{0x00, 0x7F});
        QCoreApplication::processEvents();
        EXPECT_TRUE(rig.voice->tone()) << "the tone before the tick";
        rig.ticks(20);
        adapter.send({0xF8, 0x00, 0x00});
        rig.ticks(60);
        EXPECT_FALSE(rig.voice->tone());
    }
    EXPECT_EQ(screen->text(keys::kDecodedTextBox), "EE");
    screen->close();
    settle();
    EXPECT_FALSE(screen->portOpen());
    EXPECT_EQ(adapter.sent(3), (std::vector<std::uint8_t>{0xB0, 0x00, 0x7F}));  // keyboard mode
}

TEST_P(KeyScreens, MidiAdapterBackInKeyboardModeHoweverTheScreenEnds) {
    for (int way = 0; way < 3; ++way) {
        FakeMidiAdapter adapter;
        KeyRig rig(GetParam(), {{"1", "midi:" + adapter.device}});
        auto screen =
            std::make_unique<keys::PaddleKeyScreen>(rig.app, rig.paddleLayout(), "12", rig.hooks());
        ASSERT_TRUE(screen->openPort());
        ASSERT_EQ(adapter.sent(5).size(), 5u);
        ASSERT_TRUE(showActive(*screen));
        adapter.send({0xB0, 0x00, 0x00});
        rig.ticks(10);
        if (way == 0)
            QTest::keyClick(screen.get(), Qt::Key_Escape);
        else if (way == 1)
            screen->close();
        else
            screen.reset();  // the program ends with the screen open
        settle();
        EXPECT_EQ(adapter.sent(3), (std::vector<std::uint8_t>{0xB0, 0x00, 0x7F})) << way;
    }
}

TEST_P(KeyScreens, MidiAdapterStillTypingCtrlIsAskedTheOtherValue) {
    FakeMidiAdapter adapter;
    KeyRig rig(GetParam(), {{"1", "midi:" + adapter.device}});
    StraightKeyDecoder decoder(rig.tutor.codes, profileOf(GetParam()), [] { return 0; });
    keys::StraightKeyScreen screen(rig.app, rig.straightLayout(), decoder, rig.hooks());
    ASSERT_TRUE(screen.openPort());
    ASSERT_EQ(adapter.sent(5).size(), 5u);
    ASSERT_TRUE(showActive(screen));
    adapter.send({0xB0, 0x00, 0x00});
    rig.ticks(2);
    // The adapter's dot paddle, typed as Left Ctrl: 00 meant keyboard mode on this one.
    QKeyEvent ctrl(QEvent::KeyPress, Qt::Key_Control, Qt::NoModifier, 0, 0xffe3, 0);
    QApplication::sendEvent(QApplication::focusWidget() ? QApplication::focusWidget() : &screen,
                            &ctrl);
    EXPECT_EQ(adapter.sent(3), (std::vector<std::uint8_t>{0xB0, 0x00, 0x7F}));
    adapter.send({0xB0, 0x00, 0x7F, 0x90, 0x01, 0x7F});  // its echo, then a note
    rig.ticks(2);
    EXPECT_TRUE(rig.voice->tone());
    screen.close();
    settle();
    EXPECT_EQ(adapter.sent(3), (std::vector<std::uint8_t>{0xB0, 0x00, 0x00}));  // its keyboard mode
}

TEST_P(KeyScreens, MidiAdapterPulledOutIsReportedOnce) {
    FakeMidiAdapter adapter;
    KeyRig rig(GetParam(), {{"1", "midi:" + adapter.device}});
    rig.listen();
    keys::PaddleKeyScreen screen(rig.app, rig.paddleLayout(), "12", rig.hooks());
    ASSERT_TRUE(screen.openPort());
    ASSERT_TRUE(showActive(screen));
    rig.ticks(20);
    adapter.unplug();
    for (int i = 0; i < 3; ++i) {
        rig.ticks(20);
        ui::testing::spin(600);
    }
    const std::string failed = "Port 1 has stopped working: the key may have been unplugged.";
    if (GetParam() == Edition::Earkey)
        EXPECT_EQ(std::count(rig.spoken.begin(), rig.spoken.end(), failed), 1);
    else
        EXPECT_EQ(rig.boxes, (std::vector<Box>{{"Comm Port Error", failed, true}}));
    screen.close();
    settle();
    EXPECT_EQ(rig.voice, nullptr);
}

TEST_P(KeyScreens, AdaptersThatCannotBeHad) {
    // No such node; a file that is no device; an input device that does not exist.
    const auto file = writeScript({}, "not-a-device.txt");
    for (const auto& device : {std::string("midi:/dev/snd/midiC9D9"), "midi:" + file,
                               std::string("input:/dev/input/event99"), "input:" + file,
                               std::string("input:/dev/null")}) {
        KeyRig rig(GetParam(), {{"4", device}});
        rig.app.settings().setPort("4");
        keys::PaddleKeyScreen screen(rig.app, rig.paddleLayout(), "12", rig.hooks());
        screen.start();
        EXPECT_EQ(rig.boxes, (std::vector<Box>{{"Comm Port Error", "Can't open port 4", true}}))
            << device;
        EXPECT_EQ(rig.voicesOpened, 0);
    }
}

TEST_P(KeyScreens, CtrlKeySoundsAtOnceAndKeysTheStraightKey) {
    KeyRig rig(GetParam(), {{"1", "keyboard"}});
    StraightKeyDecoder decoder(rig.tutor.codes, profileOf(GetParam()), [] { return 0; });
    keys::StraightKeyScreen screen(rig.app, rig.straightLayout(), decoder, rig.hooks());
    ASSERT_TRUE(screen.openPort());
    ASSERT_TRUE(showActive(screen));
    rig.ticks(5);
    auto ctrl = [&](QEvent::Type type) {
        QKeyEvent e(type, Qt::Key_Control, Qt::NoModifier, 0, 0xffe3, 0);
        QApplication::sendEvent(QApplication::focusWidget() ? QApplication::focusWidget() : &screen,
                                &e);
    };
    for (int i = 0; i < 2; ++i) {  // E, and the key-down that ends it
        ctrl(QEvent::KeyPress);
        EXPECT_TRUE(rig.voice->tone());  // before any tick
        rig.ticks(20);
        ctrl(QEvent::KeyRelease);
        EXPECT_FALSE(rig.voice->tone());
        rig.ticks(60);
    }
    EXPECT_EQ(screen.text(keys::kDecodedTextBox), "E");
}

// Left alone, a decode screen pauses its voice; the key's next move plays it again at once, and
// the keying is decoded and timed as by a voice that ticked on all along.
TEST_P(KeyScreens, AScreenLeftAlonePausesItsVoiceAndKeysOnAsIfItHadTicked) {
    struct Run {
        std::string text, report, tones;
        std::vector<TimedElement> timed;
        int pauses = 0;
    };
    auto run = [&](bool pausable) {
        KeyRig rig(GetParam(), {{"1", "keyboard"}});
        rig.pausableVoices = pausable;
        StraightKeyDecoder decoder(rig.tutor.codes, profileOf(GetParam()),
                                   [&rig] { return rig.clock * 5; });
        keys::StraightKeyScreen screen(rig.app, rig.straightLayout(), decoder, rig.hooks());
        EXPECT_TRUE(screen.openPort());
        EXPECT_TRUE(showActive(screen));
        auto ctrl = [&](QEvent::Type type) {
            QKeyEvent e(type, Qt::Key_Control, Qt::NoModifier, 0, 0xffe3, 0);
            QApplication::sendEvent(
                QApplication::focusWidget() ? QApplication::focusWidget() : &screen, &e);
        };
        auto key = [&](const std::vector<int>& elements, int gapAfter) {
            for (int units : elements) {
                ctrl(QEvent::KeyPress);
                EXPECT_TRUE(rig.voice->tone());  // heard at once, paused or not
                EXPECT_FALSE(rig.voice->paused);
                rig.ticks(20 * units);
                ctrl(QEvent::KeyRelease);
                rig.ticks(20);
            }
            rig.ticks(gapAfter - 20);
        };
        rig.ticks(5);
        key({1, 1}, 60);  // "I" after the first key-down only armed
        key({1}, 2400);   // E, then 12 s alone
        if (pausable) {
            EXPECT_TRUE(rig.voice->paused);
            // Paused five seconds after the flush of E and the word gap after it: 6 to 7 s
            // after the key was let go.
            const auto& tones = rig.voice->tones;
            const auto still = tones.find('_') - tones.rfind('#', tones.find('_'));
            EXPECT_GT(still, 1200u);
            EXPECT_LT(still, 1400u);
        }
        key({3, 1}, 60);  // N
        key({1}, 1600);   // E, then 8 s alone
        key({3}, 400);    // T
        Run r;
        r.text = screen.text(keys::kDecodedTextBox);
        r.timed = decoder.timedElements();
        r.report = decoder.timingReport();
        r.tones = rig.voice->tones;
        r.pauses = rig.voice->pauses;
        return r;
    };
    Run ticked = run(false), paused = run(true);
    EXPECT_EQ(ticked.pauses, 0);
    EXPECT_EQ(paused.pauses, 2);
    EXPECT_EQ(paused.text, "IE NE T");
    EXPECT_EQ(paused.text, ticked.text);
    EXPECT_EQ(paused.report, ticked.report);
    ASSERT_EQ(paused.timed.size(), ticked.timed.size());
    for (std::size_t i = 0; i < paused.timed.size(); ++i) {
        EXPECT_EQ(paused.timed[i].kind, ticked.timed[i].kind) << i;
        EXPECT_EQ(paused.timed[i].ticks, ticked.timed[i].ticks) << i;
    }
    // Nothing is played while paused; every tone sounds in the same ticks.
    std::string heard = paused.tones;
    std::replace(heard.begin(), heard.end(), '_', '.');
    EXPECT_EQ(heard, ticked.tones);
}

// The program's key screens open their voice with the pitch and edges the learner chose, as
// the sender plays them, at each visit.
TEST_P(KeyScreens, TheSideToneHasTheChosenPitchAndEdges) {
    KeyRig rig(GetParam(), {});
    auto voice = keys::programHooks(rig.app).openVoice();
    ASSERT_EQ(rig.audio.sidetones.size(), 1u);
    EXPECT_EQ(rig.audio.sidetones.back()->settings(), ToneSettings{});
    rig.tutor.setTone({550, true});
    voice = keys::programHooks(rig.app).openVoice();
    ASSERT_EQ(rig.audio.sidetones.size(), 2u);
    EXPECT_EQ(rig.audio.sidetones.back()->settings(), (ToneSettings{550, true}));
}

// What a machine with a USB serial adapter, a MIDI adapter and a keyboard-type adapter shows.
FoundKeys adaptersPlugged(bool secondMidi = false) {
    FoundKeys found;
    found.serialPorts = {{"/dev/ttyS0", ""}, {"/dev/ttyUSB0", "FT232R USB UART"}};
    found.midiAdapters = {{"/dev/snd/midiC1D0", "Adapter"}};
    if (secondMidi)
        found.midiAdapters.push_back({"/dev/snd/midiC2D0", ""});
    found.inputDevices = {"/dev/input/by-id/usb-Key_Paddle-event-kbd"};
    return found;
}

// The entries of the key list as shown, and the one the screen reader says is chosen.
std::vector<std::string> shownChoices(keys::KeySettingScreen& screen) {
    std::vector<std::string> shown;
    if (auto* list = qobject_cast<QListWidget*>(screen.keyList())) {
        for (int i = 0; i < list->count(); ++i)
            shown.push_back(list->item(i)->text().toStdString());
    } else if (auto* combo = qobject_cast<QComboBox*>(screen.keyList())) {
        for (int i = 0; i < combo->count(); ++i)
            shown.push_back(combo->itemText(i).toStdString());
    }
    return shown;
}

// Moves through the list as the learner does: the cursor keys, in both editions.
void press(keys::KeySettingScreen& screen, Qt::Key key) {
    QTest::keyClick(screen.keyList(), key);
}

// Leaves the screen: Escape in Earkey, the Close button in Keyview.
void leave(keys::KeySettingScreen& screen, Edition edition) {
    if (edition == Edition::Earkey) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    } else {
        QTest::mouseClick(screen.closeButton(), Qt::LeftButton);
    }
}

TEST_P(KeyScreens, TheKeyChosenOnTheKeyScreenIsTheDecodeScreensKey) {
    KeyRig rig(GetParam(), {});
    const std::string script = straightScript("PARIS", 15);
    int looked = 0;
    keys::KeySettingScreen screen(rig.app, "1", [&looked] {
        ++looked;
        return adaptersPlugged();
    });
    ASSERT_TRUE(showActive(screen));
    EXPECT_EQ(screen.windowTitle(), "Key");
    EXPECT_EQ(screen.focusWidget(), screen.keyList());
    // The screen reader names the list by its label (a drop-down list), or by its own name.
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(screen.keyList());
    const auto labels = list->relations(QAccessible::Label);
    EXPECT_EQ(labels.empty() ? list->text(QAccessible::Name).toStdString()
                             : labels[0].first->text(QAccessible::Name).toStdString(),
              "Key for Comm Port 1:");
    EXPECT_EQ(shownChoices(screen),
              (std::vector<std::string>{
                  "COM1: ttyS0", "ttyUSB0: FT232R USB UART", "MIDI adapter midiC1D0: Adapter",
                  "Keyboard-type adapter Key Paddle", "Keyboard and mouse", "Key script"}));
    EXPECT_EQ(screen.chosenIndex(), 0);

    // Each step down is the key from then on, and Earkey says it.
    press(screen, Qt::Key_Down);
    EXPECT_EQ(rig.app.settings().keys(),
              (std::map<std::string, std::string>{{"1", "/dev/ttyUSB0"}}));
    if (GetParam() == Edition::Earkey) {
        EXPECT_EQ(ui::testing::announced(), "ttyUSB0: FT232R USB UART");
    }
    press(screen, Qt::Key_Down);
    EXPECT_EQ(rig.app.settings().keyOf("1"), "midi:/dev/snd/midiC1D0");
    press(screen, Qt::Key_Down);
    EXPECT_EQ(rig.app.settings().keyOf("1"), "input:/dev/input/by-id/usb-Key_Paddle-event-kbd");
    // A key script is the key once its file is named.
    press(screen, Qt::Key_End);
    EXPECT_EQ(screen.chosenIndex(), 5);
    EXPECT_EQ(rig.app.settings().keyOf("1"), "input:/dev/input/by-id/usb-Key_Paddle-event-kbd");
    QTest::keyClick(screen.keyList(), Qt::Key_F, Qt::AltModifier);
    EXPECT_EQ(screen.focusWidget(), screen.scriptBox());
    QTest::keyClicks(screen.scriptBox(), QString::fromStdString(script));
    EXPECT_EQ(rig.app.settings().keyOf("1"), "sim:" + script);
    leave(screen, GetParam());
    EXPECT_FALSE(screen.isVisible());
    EXPECT_EQ(looked, 1);

    // The straight-key screen on port 1 reads that script: the key chosen, not ttyS0.
    StraightKeyDecoder decoder(rig.tutor.codes, profileOf(GetParam()), [] { return 0; });
    keys::StraightKeyScreen straight(rig.app, rig.straightLayout(), decoder, rig.hooks());
    ASSERT_TRUE(straight.openPort());
    ASSERT_TRUE(showActive(straight));
    rig.ticks(1400);
    EXPECT_EQ(straight.text(keys::kDecodedTextBox), "PARIS");
    EXPECT_TRUE(rig.boxes.empty());
}

TEST_P(KeyScreens, TheKeyScreenKeepsAnUnpluggedKeyAndNamesTheCommandLinesOne) {
    KeyRig rig(GetParam(), {{"2", "keyboard"}});
    rig.app.settings().setKey("1", "midi:/dev/snd/midiC2D0");
    rig.app.settings().setKey("2", "/dev/ttyUSB0");
    bool plugged = false;
    keys::KeySettingScreen screen(rig.app, "1", [&plugged] { return adaptersPlugged(plugged); });
    ASSERT_TRUE(showActive(screen));
    // The adapter kept is not plugged in: it stays the choice, and says so.
    auto shown = shownChoices(screen);
    ASSERT_EQ(shown.size(), 7u);
    EXPECT_EQ(shown[static_cast<std::size_t>(screen.chosenIndex())],
              "MIDI adapter midiC2D0 (not found now)");
    EXPECT_EQ(screen.commandLineNote(), nullptr);
    // Plugged in and looked for again: found, still chosen, the focus back on the list.
    plugged = true;
    QTest::mouseClick(screen.refreshButton(), Qt::LeftButton);
    shown = shownChoices(screen);
    ASSERT_EQ(shown.size(), 7u);
    EXPECT_EQ(shown[static_cast<std::size_t>(screen.chosenIndex())], "MIDI adapter midiC2D0");
    EXPECT_EQ(screen.focusWidget(), screen.keyList());
    // Back to the numbered port: the port has no choice of its own any more.
    press(screen, Qt::Key_Home);
    EXPECT_EQ(rig.app.settings().keys(),
              (std::map<std::string, std::string>{{"2", "/dev/ttyUSB0"}}));
    leave(screen, GetParam());

    // Port 2 is set on the command line: the screen says so, and that is what the port opens.
    keys::KeySettingScreen second(rig.app, "2", [] { return adaptersPlugged(); });
    ASSERT_TRUE(showActive(second));
    ASSERT_NE(second.commandLineNote(), nullptr);
    EXPECT_EQ(second.commandLineNote()->text().toStdString(),
              "For this run the command line makes port 2 keyboard; the choice here is kept for "
              "the next runs.");
    EXPECT_EQ(shownChoices(second)[static_cast<std::size_t>(second.chosenIndex())],
              "ttyUSB0: FT232R USB UART");
    leave(second, GetParam());
    rig.app.settings().setPort("2");
    keys::PaddleKeyScreen paddle(rig.app, rig.paddleLayout(), "12", rig.hooks());
    ASSERT_TRUE(paddle.openPort());  // the keyboard, not the absent ttyUSB0
    EXPECT_TRUE(rig.boxes.empty());

    // An empty port box has no key to choose: the described message instead of the screen.
    rig.app.settings().setPort("");
    keys::keySettingScreen(rig.app, rig.hooks(), [] { return FoundKeys{}; });
    EXPECT_EQ(rig.boxes, (std::vector<Box>{{"Comm Port Error", "No Comm Port Selected", true}}));
}

// The lengths of a straight-key script's marks and spaces by kind, in units of the hand's own
// dot, read from the script's times and the code of the text it keys: what the hand did, known
// without the decoder. The hand's dot is the time of everything but the word gaps over the units
// those take.
std::array<std::vector<double>, kTimedKinds> heldByScript(const SimKeyScript& script,
                                                          const std::string& text,
                                                          const CodeTable& codes) {
    std::vector<TimedKind> kinds;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == ' ')
            continue;
        const auto& code = codes.codeElements[static_cast<unsigned char>(text[i])];
        for (std::size_t e = 0; e < code.size() && code[e] != 0; ++e) {
            if (e > 0)
                kinds.push_back(TimedKind::ElementGap);
            kinds.push_back(code[e] == 1 ? TimedKind::Dot : TimedKind::Dash);
        }
        if (i + 1 < text.size())
            kinds.push_back(text[i + 1] == ' ' ? TimedKind::WordGap : TimedKind::CharacterGap);
    }
    std::array<std::vector<double>, kTimedKinds> held;
    EXPECT_EQ(script.changes.size(), kinds.size() + 1);
    if (script.changes.size() != kinds.size() + 1)
        return held;
    double ms = 0, units = 0;
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        if (kinds[i] == TimedKind::WordGap)
            continue;
        ms += static_cast<double>(script.changes[i + 1].ms - script.changes[i].ms);
        units += kinds[i] == TimedKind::Dash || kinds[i] == TimedKind::CharacterGap ? 3 : 1;
    }
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        held[static_cast<std::size_t>(kinds[i])].push_back(
            static_cast<double>(script.changes[i + 1].ms - script.changes[i].ms) / (ms / units));
    }
    return held;
}

// The timing report of a hand with its habits and a known jitter: Keyview pictures each mark and
// space where the script put it, Earkey says after the report how each kind went, both from the
// same keying.
TEST_P(KeyScreens, TheTimingReportPicturesAndSaysTheKeyingTheScriptHolds) {
    const std::string text = "PARIS PARIS PARIS";
    HandKeying how;
    how.wpm = 15;
    how.shape = {1.25, 3.1, 1.0, 2.4, 7.0};  // long dots, short character gaps
    how.jitter = 0.05;
    how.seed = 3;
    KeyRig rig(GetParam(), {});
    const SimKeyScript script = keyStraight(text, rig.tutor.codes, how);
    const auto held = heldByScript(script, text, rig.tutor.codes);
    rig.app.settings().setKey("1", "sim:" + writeScript(script, "habits.txt"));
    rig.listen();
    std::vector<std::string> pictured;  // the report's text
    std::unique_ptr<QChart> chart;
    auto hooks = rig.hooks();
    hooks.timingPicture = [&](const std::string& title, const std::string& report,
                              const TimingStatistics& statistics) {
        EXPECT_EQ(title, "Timings");
        pictured.push_back(report);
        chart.reset(keys::timingChart(statistics));
    };
    StraightKeyDecoder decoder(rig.tutor.codes, profileOf(GetParam()),
                               [&rig] { return rig.voice ? rig.voice->ticks * 5 : 0; });
    keys::StraightKeyScreen screen(rig.app, rig.straightLayout(), decoder, hooks);
    ASSERT_TRUE(screen.openPort());
    ASSERT_TRUE(showActive(screen));
    rig.ticks(script.endMs() / 5 + 400);
    ASSERT_EQ(screen.text(keys::kDecodedTextBox), text);
    const std::string report =
        timingReportText(GetParam() == Edition::Keyview ? " WPM" : "", decoder.dotAverage(),
                         decoder.dashAverage(), decoder.unitCount(), 0);
    const auto statistics = timingStatistics(decoder.timedElements());
    if (GetParam() == Edition::Earkey) {
        rig.spoken.clear();
        QTest::keyClick(&screen, Qt::Key_F1);
    } else {
        QTest::mouseClick(screen.controlAs<QPushButton>(keys::kTimingsButton), Qt::LeftButton);
    }
    settle();
    // The report's text is the described one, in the box of each edition.
    const std::string shown = GetParam() == Edition::Keyview
                                  ? (pictured.empty() ? "" : pictured[0])
                                  : (rig.boxes.empty() ? "" : rig.boxes[0].text);
    EXPECT_EQ(shown.substr(0, shown.find("Word speed")),
              report.substr(0, report.find("Word speed")));
    EXPECT_EQ(screen.text(keys::kDecodedTextBox), "");

    if (GetParam() == Edition::Keyview) {
        EXPECT_TRUE(rig.boxes.empty());
        ASSERT_NE(chart, nullptr);
        // One row of points per kind, each point where the script put that mark or space, to
        // within the tick the decoder counts in (5 ms of a 80 ms dot).
        int rows = 0;
        for (auto* series : chart->series()) {
            auto* points = qobject_cast<QScatterSeries*>(series);
            if (!points)
                continue;
            ++rows;
            std::size_t kind = kTimedKinds;
            for (std::size_t k = 0; k < kTimedKinds; ++k) {
                if (points->name().toStdString() == timedKindName(static_cast<TimedKind>(k)))
                    kind = k;
            }
            ASSERT_LT(kind, kTimedKinds) << points->name().toStdString();
            const auto& want = held[kind];
            ASSERT_EQ(static_cast<std::size_t>(points->count()), want.size()) << kind;
            for (std::size_t i = 0; i < want.size(); ++i) {
                const QPointF p = points->at(static_cast<int>(i));
                EXPECT_NEAR(p.x(), want[i], 0.1) << kind << " " << i;
                EXPECT_NEAR(p.y(), keys::timingRow(static_cast<TimedKind>(kind)), 0.2);
            }
        }
        EXPECT_EQ(rows, 5);
    } else {
        ASSERT_EQ(rig.boxes.size(), 1u);
        EXPECT_TRUE(pictured.empty());
        // After the report, one sentence per kind, said in one go as the focus lands on them.
        const auto said = timingSentences(statistics);
        ASSERT_EQ(said.size(), kTimedKinds);
        ASSERT_FALSE(rig.spoken.empty());
        EXPECT_EQ(rig.spoken.back(),
                  said[0] + " " + said[1] + " " + said[2] + " " + said[3] + " " + said[4]);
        EXPECT_NE(said[0].find("percent long."), std::string::npos) << said[0];
        EXPECT_NE(said[3].find("percent short."), std::string::npos) << said[3];
        // And they are what the script holds: the means of its own lengths, as said (to one
        // decimal, from lengths counted in 5 ms ticks).
        for (std::size_t k = 0; k < kTimedKinds; ++k) {
            double sum = 0;
            for (double u : held[k])
                sum += u;
            const std::string name = timedKindName(static_cast<TimedKind>(k)) + " ";
            ASSERT_EQ(said[k].rfind(name, 0), 0u) << said[k];
            EXPECT_NEAR(std::stod(said[k].substr(name.size())),
                        sum / static_cast<double>(held[k].size()), 0.12)
                << said[k];
        }
    }
}

INSTANTIATE_TEST_SUITE_P(BothEditions, KeyScreens, kBothEditions, editionName);

}  // namespace
}  // namespace keytut::testing
