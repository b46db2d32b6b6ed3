// The key sources through Qt: serial devices that can and cannot be had (a pseudo-terminal
// stands in for a serial port), the keyboard and mouse as the key, and what the Key screen finds
// in the device folders.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/keys/found_keys.h"
#include "platform/keys/key_port.h"
#include "platform/keys/keyboard_key.h"
#include "platform/keys/line_watch.h"
#include "platform/keys/serial_key.h"

namespace keytut::keys {
namespace {

// A pseudo-terminal's far end, whose near end (`device`) takes the place of a serial port.
struct PseudoTerminal {
    PseudoTerminal() {
        master = ::posix_openpt(O_RDWR | O_NOCTTY);
        EXPECT_GE(master, 0);
        ::grantpt(master);
        ::unlockpt(master);
        device = ::ptsname(master);
    }
    ~PseudoTerminal() {
        if (master >= 0)
            ::close(master);
    }
    int master = -1;
    std::string device;
};

// Qt SerialPort takes a lock file in /run/lock or /var/lock and opens nothing where it cannot.
bool lockFolderWritable() {
    return ::access("/run/lock", W_OK) == 0 || ::access("/var/lock", W_OK) == 0;
}

#define REQUIRE_LOCK_FOLDER()  \
    if (!lockFolderWritable()) \
    GTEST_SKIP() << "no writable /run/lock or /var/lock: Qt SerialPort opens no port"

std::string messageOf(const KeyPortResult& r) {
    return std::holds_alternative<KeyPortError>(r) ? std::get<KeyPortError>(r).message : "opened";
}

KeyPortResult open(const std::string& portText, const std::map<std::string, std::string>& ports) {
    KeyPortPlace place;
    place.portDevices = &ports;
    place.elapsedMs = [] { return 0; };
    return openKeyPort(portText, place);
}

TEST(FoundKeys, MidiNodesWithTheirCardsAndKeyboardTypeAdaptersOnly) {
    namespace fs = std::filesystem;
    const fs::path root = fs::path(::testing::TempDir()) / "found-keys";
    fs::remove_all(root);
    KeyPlaces places{root / "snd", root / "sound", root / "by-id", false};
    // Nothing there at all: nothing found, and no complaint.
    EXPECT_TRUE(findKeys(places).midiAdapters.empty());
    fs::create_directories(places.midiFolder);
    for (const char* node : {"midiC2D0", "midiC1D0", "midiC1D1", "pcmC0D0p", "controlC1", "seq"})
        std::ofstream(places.midiFolder / node);
    fs::create_directories(places.soundCards / "card1");
    std::ofstream(places.soundCards / "card1" / "id") << "Adapter\n";
    fs::create_directories(places.inputFolder);
    for (const char* device : {"usb-Key_Paddle-event-kbd", "usb-Key_Paddle-event-mouse",
                               "usb-Key_Paddle-if01-event-kbd", "usb-Key_Paddle-kbd"})
        std::ofstream(places.inputFolder / device);

    const FoundKeys found = findKeys(places);
    std::vector<std::pair<std::string, std::string>> midi;
    for (const auto& adapter : found.midiAdapters)
        midi.emplace_back(fs::path(adapter.path).filename().string(), adapter.name);
    EXPECT_EQ(midi, (std::vector<std::pair<std::string, std::string>>{
                        {"midiC1D0", "Adapter"}, {"midiC1D1", "Adapter"}, {"midiC2D0", ""}}));
    std::vector<std::string> inputs;
    for (const auto& device : found.inputDevices)
        inputs.push_back(fs::path(device).filename().string());
    EXPECT_EQ(inputs, (std::vector<std::string>{"usb-Key_Paddle-event-kbd",
                                                "usb-Key_Paddle-if01-event-kbd"}));
    EXPECT_TRUE(found.serialPorts.empty());
    fs::remove_all(root);
}

TEST(SerialKey, DevicesThatCannotBeHad) {
    auto file = std::filesystem::path(::testing::TempDir()) / "not-a-port";
    std::ofstream(file) << "x";
    // A pseudo-terminal that nobody at this end holds: a terminal, but no serial port.
    PseudoTerminal pty;
    std::map<std::string, std::string> ports{
        {"3", file.string()}, {"4", "/dev/null"}, {"5", "/nonexistent/ttyUSB9"},
        {"6", "/tmp"},        {"2", pty.device},  {"8", "/dev/ptmx"}};
    EXPECT_EQ(messageOf(open("2", ports)), "Can't open port 2");
    EXPECT_EQ(messageOf(open("8", ports)), "Can't open port 8");
    EXPECT_EQ(messageOf(open("", ports)), "No Comm Port Selected");
    EXPECT_EQ(messageOf(open("3", ports)), "Can't open port 3");  // a file on disk
    EXPECT_EQ(messageOf(open("4", ports)), "Can't open port 4");  // not a serial device
    EXPECT_EQ(messageOf(open("5", ports)), "Can't open port 5");
    EXPECT_EQ(messageOf(open("6", ports)), "Can't open port 6");
    EXPECT_EQ(messageOf(open("07", ports)), "Can't open port 07");  // COM07 is no device
    EXPECT_EQ(messageOf(open("99", ports)), "Can't open port 99");  // /dev/ttyS98
}

// A pseudo-terminal stands in for a serial port here: what is tried is the holding and the
// hanging up, the part of opening a port before its modem lines are asked for.
TEST(SerialKey, ADeviceHeldElsewhereIsRefusedEvenToRoot) {
    REQUIRE_LOCK_FOLDER();
    PseudoTerminal pty;
    auto canHave = [&] { return SerialKey::openTerminal(pty.device) != nullptr; };
    {
        auto first = SerialKey::openTerminal(pty.device);
        ASSERT_NE(first, nullptr);
        // A second screen on the same port, while the first holds it.
        EXPECT_FALSE(canHave());
    }
    EXPECT_TRUE(canHave());  // let go on closing

    // Another program that has it open, with no lock file.
    pid_t child = ::fork();
    if (child == 0) {
        int fd = ::open(pty.device.c_str(), O_RDWR | O_NOCTTY);
        (void)fd;
        ::pause();
        ::_exit(0);
    }
    for (int i = 0; i < 200 && !serialDeviceInUse(pty.device); ++i)
        ::usleep(5000);
    EXPECT_FALSE(canHave());
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_TRUE(canHave());

    // A lock file of a program that runs (this one's parent will do), and one left behind.
    auto name = std::filesystem::path(pty.device).filename().string();
    auto lock = std::filesystem::path("/run/lock") / ("LCK.." + name);
    if (std::ofstream out(lock); out) {
        out << "     " << ::getppid() << "\n";
        out.close();
        EXPECT_FALSE(canHave());
        std::ofstream(lock) << "  99999999\n";
        EXPECT_TRUE(canHave());
        std::filesystem::remove(lock);
    }
}

TEST(SerialKey, AFarEndThatHangsUpIsAFailure) {
    REQUIRE_LOCK_FOLDER();
    auto pty = std::make_unique<PseudoTerminal>();
    auto key = SerialKey::openTerminal(pty->device);
    ASSERT_NE(key, nullptr);
    EXPECT_FALSE(key->readsModemLines());  // which is why the program never opens one
    key->readKeyLines();                   // a pseudo-terminal has no modem lines: the word stays 0
    EXPECT_EQ(key->readKeyLines(), 0u);
    EXPECT_FALSE(key->failed());
    pty.reset();  // the far end goes, as an unplugged adapter does
    for (int i = 0; i < 100 && !key->failed(); ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        key->readKeyLines();
    }
    EXPECT_TRUE(key->failed());
}

void sendKey(QWidget* to, QEvent::Type type, quint32 nativeKey, bool repeat = false) {
    QKeyEvent event(type, Qt::Key_Control,
                    type == QEvent::KeyPress ? Qt::ControlModifier : Qt::NoModifier, 0, nativeKey,
                    0, QString(), repeat);
    QApplication::sendEvent(to, &event);
}

void sendButton(QWidget* to, QEvent::Type type, Qt::MouseButton button) {
    QPointF at(5, 5);
    QMouseEvent event(type, at, to->mapToGlobal(at), button,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : button, Qt::NoModifier);
    QApplication::sendEvent(to, &event);
}

// A resting screen's watch on a serial key's lines: silent while they stay as they were, one call
// when they change or can no longer be read, none once stopped.
TEST(LineWatch, TellsOnceOfAChangeOrAFailureAndNothingOnceStopped) {
    using namespace std::chrono_literals;
    std::atomic<std::uint32_t> lines{0x20};
    std::atomic<bool> readable{true};
    std::atomic<int> told{0};
    auto read = [&]() -> std::optional<std::uint32_t> {
        if (!readable)
            return std::nullopt;
        return lines.load();
    };
    auto waitForTold = [&](int n) {
        for (int i = 0; i < 200 && told < n; ++i)
            std::this_thread::sleep_for(5ms);
        return told.load();
    };
    keys::LineWatch watch;
    watch.start(read, [&] { ++told; });
    std::this_thread::sleep_for(50ms);  // ten looks at unchanged lines
    EXPECT_EQ(told, 0);
    lines = 0x30;
    EXPECT_EQ(waitForTold(1), 1);
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(told, 1);  // the watch ended with its call
    watch.stop();

    watch.start(read, [&] { ++told; });
    readable = false;
    EXPECT_EQ(waitForTold(2), 2);
    watch.stop();

    readable = true;
    watch.start(read, [&] { ++told; });
    std::this_thread::sleep_for(20ms);
    watch.stop();
    lines = 0;
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(told, 2);
    EXPECT_FALSE(watch.watching());

    // A pseudo-terminal has no modem lines to read, nor has a closed descriptor.
    int far = -1, near = -1;
    char name[64];
    ASSERT_EQ(::openpty(&far, &near, name, nullptr, nullptr), 0);
    EXPECT_EQ(keys::readModemLines(near), std::nullopt);
    ::close(far);
    ::close(near);
    EXPECT_EQ(keys::readModemLines(-1), std::nullopt);
}

// The same watch sleeping in a wait between its readings, as on a serial port: a wait that never
// ends is ended by stop(), a change the wait did not notice is still seen by the periodic look, and
// a refused wait leaves the watch looking every few milliseconds.
TEST(LineWatch, AWaitingWatchSeesEveryChangeAndIsStoppedInItsWait) {
    using namespace std::chrono_literals;
    int wakes[2];
    ASSERT_EQ(::pipe(wakes), 0);
    std::atomic<std::uint64_t> lines{0x20};
    std::atomic<int> told{0}, waits{0};
    enum class Wait { Blocks, ReturnsAtOnce, Refused };
    std::atomic<Wait> wait{Wait::Blocks};
    keys::LineWatch::Waiting waiting{[&]() -> std::optional<std::uint64_t> { return lines.load(); },
                                     [&] {
                                         ++waits;
                                         if (wait != Wait::Blocks)
                                             return wait == Wait::ReturnsAtOnce;
                                         char byte = 0;
                                         // Blocks as TIOCMIWAIT does; a signal ends it.
                                         return ::read(wakes[0], &byte, 1) >= 0 || errno == EINTR;
                                     }};
    auto waitFor = [](auto done) {
        for (int i = 0; i < 1000 && !done(); ++i)
            std::this_thread::sleep_for(5ms);
        return done();
    };
    keys::LineWatch watch;

    // Woken by the port with the lines changed.
    watch.start(waiting, [&] { ++told; });
    ASSERT_TRUE(waitFor([&] { return waits > 0; }));
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(told, 0);
    lines = 0x30;
    ASSERT_EQ(::write(wakes[1], "x", 1), 1);
    EXPECT_TRUE(waitFor([&] { return told == 1; }));
    watch.stop();

    // Started, then the lines changed once the watch waits; true when it told of the change.
    auto toldOfChange = [&](std::uint64_t to) {
        const int before = told;
        waits = 0;
        watch.start(waiting, [&] { ++told; });
        if (!waitFor([&] { return waits > 0; }))
            return false;
        lines = to;
        const bool seen = waitFor([&] { return told == before + 1; });
        watch.stop();
        return seen;
    };

    // A change the wait never hears of is seen by the look that ends the wait.
    EXPECT_TRUE(toldOfChange(0x20));

    // Stopped in its wait, it ends and tells nothing, however soon after its start.
    for (int i = 0; i < 20; ++i) {
        watch.start(waiting, [&] { ++told; });
        if (i % 2)
            std::this_thread::sleep_for(std::chrono::milliseconds(i));
        watch.stop();
        EXPECT_FALSE(watch.watching());
    }
    lines = 0;
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(told, 2);

    // A wait that returns at once, again and again, with nothing changed: the watch looks instead
    // of spinning.
    wait = Wait::ReturnsAtOnce;
    waits = 0;
    watch.start(waiting, [&] { ++told; });
    std::this_thread::sleep_for(100ms);
    EXPECT_LT(waits, 100);
    watch.stop();
    EXPECT_TRUE(toldOfChange(0x30));

    // A refused wait: the watch looks instead.
    wait = Wait::Refused;
    EXPECT_TRUE(toldOfChange(0x10));
    EXPECT_EQ(waits, 1);
    EXPECT_EQ(told, 4);
    ::close(wakes[0]);
    ::close(wakes[1]);
}

// A real serial port's wait in the kernel, ended by stop(); a pseudo-terminal refuses to wait.
TEST(LineWatch, ASerialPortsWaitInTheKernelEndsWhenStopped) {
    using namespace std::chrono_literals;
    PseudoTerminal pseudo;
    const int near = ::open(pseudo.device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(near, 0);
    EXPECT_FALSE(keys::waitForModemChange(near));
    EXPECT_EQ(keys::readModemState(near), std::nullopt);
    ::close(near);

    const int port = ::open("/dev/ttyS0", O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (port < 0 || !keys::readModemLines(port))
        GTEST_SKIP() << "no serial port with modem lines here";
    std::atomic<int> told{0};
    keys::LineWatch watch;
    watch.start(port, [&] { ++told; });
    std::this_thread::sleep_for(250ms);  // past two of the watch's own looks
    watch.stop();
    EXPECT_EQ(told, 0);
    EXPECT_EQ(keys::readModemState(port).value_or(0) & 0xffffffffu, *keys::readModemLines(port));
    ::close(port);
}

TEST(KeyboardKey, CtrlKeysAndMouseButtonsAreTheLines) {
    QWidget screen;
    auto* box = new QWidget(&screen);
    auto* button = new QPushButton("Timings", &screen);
    QWidget elsewhere;
    KeyboardKey key(&screen);
    int changes = 0;
    key.setChangeHandler([&] { ++changes; });

    sendKey(box, QEvent::KeyPress, 0xffe3);  // Left Ctrl
    EXPECT_EQ(key.readKeyLines(), MS_CTS_ON);
    sendKey(box, QEvent::KeyPress, 0xffe3, true);  // auto-repeat changes nothing
    sendKey(box, QEvent::KeyRelease, 0xffe3, true);
    EXPECT_EQ(key.readKeyLines(), MS_CTS_ON);
    sendKey(box, QEvent::KeyPress, 0xffe4);  // Right Ctrl as well
    EXPECT_EQ(key.readKeyLines(), MS_CTS_ON | MS_DSR_ON);
    sendKey(box, QEvent::KeyRelease, 0xffe3);
    sendKey(box, QEvent::KeyRelease, 0xffe4);
    EXPECT_EQ(key.readKeyLines(), 0u);
    EXPECT_EQ(changes, 4);

    sendButton(&screen, QEvent::MouseButtonPress, Qt::RightButton);
    EXPECT_EQ(key.readKeyLines(), MS_DSR_ON);
    sendButton(&screen, QEvent::MouseButtonRelease, Qt::RightButton);
    sendButton(box, QEvent::MouseButtonPress, Qt::LeftButton);
    EXPECT_EQ(key.readKeyLines(), MS_CTS_ON);
    sendButton(box, QEvent::MouseButtonRelease, Qt::LeftButton);
    EXPECT_EQ(key.readKeyLines(), 0u);

    sendButton(button, QEvent::MouseButtonPress, Qt::LeftButton);  // a click on a button
    sendKey(&elsewhere, QEvent::KeyPress, 0xffe3);                 // another window's key
    EXPECT_EQ(key.readKeyLines(), 0u);
    sendButton(button, QEvent::MouseButtonRelease, Qt::LeftButton);

    sendKey(box, QEvent::KeyPress, 0xffe4);
    QEvent deactivate(QEvent::WindowDeactivate);
    QApplication::sendEvent(&screen, &deactivate);  // the focus goes elsewhere: key up
    EXPECT_EQ(key.readKeyLines(), 0u);
}

}  // namespace
}  // namespace keytut::keys
