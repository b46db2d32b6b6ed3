// Helpers shared by the widget tests: a program context with a silent, test-driven sound system,
// the same with the shipped data and a virtual-clock sender for the exercise screens, and checks
// of where a screen's controls are.
#pragma once

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/tutor.h"
#include "platform/audio/audio_system.h"
#include "platform/audio/fake_sidetone.h"
#include "platform/audio/fake_wave_out.h"
#include "platform/ui/app.h"
#include "platform/ui/blocking_wait.h"
#include "platform/ui/exercise_registry.h"
#include "platform/ui/screen.h"
#include "tests/editions.h"

namespace keytut::ui::testing {

// The shipped registry and two entries more, as a new exercise and a new setting would come: a
// drill in the practice grid (id 320, its description 220) and a gauge in the settings group (321)
// that `openGauge` opens.
inline std::vector<ExerciseButton> withDrillAndGauge(std::function<void(App&)> openGauge = {}) {
    std::vector<ExerciseButton> registry = exerciseRegistry();
    // clang-format off
    registry.push_back({.name = "Drill", .id = 320,
                        .earkeyCaption = "Daily Drill", .keyviewCaption = "&Drill",
                        .description = "A daily drill", .descriptionId = 233,
                        .column = 2, .row = 2});
    registry.push_back({.name = "Gauge", .id = 321,
                        .earkeyCaption = "&Gauge", .keyviewCaption = "&Gauge",
                        .group = ButtonGroup::Settings,
                        .x = 245, .y = 124, .width = 20, .height = 14,
                        .open = std::move(openGauge)});
    // clang-format on
    return registry;
}

// Presses the button `id` of a screen as a click does; false when the screen has no such button.
inline bool press(Screen& screen, int id) {
    auto* button = screen.controlAs<QPushButton>(id);
    if (!button)
        return false;
    button->click();
    return true;
}

// Presses `key` where the screen's focus is, as the learner does.
inline void pressKey(Screen& screen, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* focused = screen.focusWidget();
    QTest::keyClick(focused ? focused : &screen, static_cast<Qt::Key>(key), modifiers);
}

// Opens virtual-clock devices that play nothing until a test advances them.
class TestAudio : public audio::AudioSystem {
  public:
    std::unique_ptr<audio::WaveOut> open(audio::DoneTiming) override {
        auto out = std::make_unique<Device>(*this);
        opened.push_back(out.get());
        return out;
    }
    std::unique_ptr<keytut::SidetoneVoice> openSidetone(keytut::ToneSettings tone) override {
        auto voice = std::make_unique<audio::FakeSidetoneVoice>(tone);
        sidetones.push_back(voice.get());
        return voice;
    }
    std::string problem() const override { return {}; }
    std::vector<audio::FakeWaveOut*> opened;
    std::vector<audio::FakeSidetoneVoice*> sidetones;  // dangling once a screen closes its voice
    // Called after every write to a device opened here, with that device.
    std::function<void(audio::FakeWaveOut&)> onWrite;

  private:
    class Device : public audio::FakeWaveOut {
      public:
        explicit Device(TestAudio& audio) : audio_(audio) {}
        void write(std::span<const std::int16_t> samples, std::uint64_t tag) override {
            FakeWaveOut::write(samples, tag);
            if (audio_.onWrite)
                audio_.onWrite(*this);
        }

      private:
        TestAudio& audio_;
    };
};

struct TestProgram {
    explicit TestProgram(Edition edition, std::vector<std::string> groups = {},
                         ProgramOptions options = {})
        : tutor(profileOf(edition)), app(tutor, audio, messages, keys, std::move(options)) {
        tutor.data.lessonGroups = std::move(groups);
    }
    Tutor tutor;
    TestAudio audio;
    CollectingMessageSink messages;
    KeyStateTracker keys;
    App app;
};

// A program for the exercise screens: the data in `dataDir`, a virtual-clock device for the
// sender, a seeded random source, and the key-state tracker fed by the application's key events.
class ExerciseProgram : public TestProgram {
  public:
    ExerciseProgram(Edition edition, const char* dataDir, std::uint64_t seed,
                    ProgramOptions options = {})
        : TestProgram(edition, {}, std::move(options)) {
        CollectingMessageSink sink;
        EXPECT_TRUE(tutor.loadData(dataDir, sink));
        auto device = std::make_unique<audio::FakeWaveOut>();
        wave = device.get();
        tutor.sender.attach(std::move(device));
        tutor.random.seed(seed);
        QApplication::instance()->installEventFilter(&keys);
    }
    ~ExerciseProgram() {
        QApplication::instance()->removeEventFilter(&keys);
        tutor.sender.attach(nullptr);
    }
    ExerciseProgram(const ExerciseProgram&) = delete;
    ExerciseProgram& operator=(const ExerciseProgram&) = delete;

    // The characters the sender's device was given from buffer `from` on, recognised by their
    // samples: ' ' for a word space, '_' for an empty buffer, '?' for anything else.
    std::string heard(std::size_t from = 0) const {
        std::string result;
        const auto& written = wave->written();
        for (std::size_t i = from; i < written.size(); ++i)
            result += recognise(written[i].samples);
        return result;
    }
    char recognise(const std::vector<std::int16_t>& samples) const {
        if (samples.empty())
            return '_';
        std::vector<std::int16_t> buffer(kSampleBufferSize);
        for (int c = 32; c < 127; ++c) {
            auto n = synthesiseCharacter(static_cast<char>(c), tutor.codes, tutor.tone,
                                         tutor.timing, buffer);
            if (n == samples.size() && std::equal(samples.begin(), samples.end(), buffer.begin()))
                return static_cast<char>(c);
        }
        return '?';
    }
    std::size_t writes() const { return wave->written().size(); }

    audio::FakeWaveOut* wave = nullptr;
};

// The text of the screen reader notification shown last; empty when none is shown.
inline std::string announced() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        if (a && a->role() == QAccessible::Notification && w->isVisible())
            return a->text(QAccessible::Name).toStdString();
    }
    return {};
}

// What a screen reader reads of a control besides its name (a list's value, say).
inline std::string accessibleDescription(QWidget* w) {
    return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Description).toStdString();
}

// Shows a window and makes it the active one, so that focus, keys and shortcuts work.
inline bool showActive(QWidget& window) {
    window.show();
    QApplication::setActiveWindow(&window);
    return QTest::qWaitForWindowActive(&window);
}

// Handles posted events (and the waits they start) and deletes what was deleted later, until
// nothing is left.
inline void settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
        // A wait held by a timer (a lesson's pause after a character) runs to its end.
        QElapsedTimer clock;
        clock.start();
        while (blockingWaitActive() && clock.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// Runs the event loop until `done` holds or `ms` have passed; returns `done()`.
inline bool waitFor(const std::function<bool()>& done, int ms = 1000) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

// Runs the event loop for `ms`, whatever happens.
inline void spin(int ms) {
    waitFor([] { return false; }, ms);
}

// A letter or digit held as a learner holds it: down until the poller has looked at it (at
// least `minimumMs`, at most a second), so that a poller tick that comes late on a busy machine
// still finds it down. A key no poller looks at is held `minimumMs` and then a second.
inline void holdForPoller(QWidget* target, Qt::Key key, const KeyStateTracker& keys,
                          int minimumMs = 120) {
    QTest::keyPress(target, key);
    spin(minimumMs);
    waitFor([&] { return !keys.unread(key); }, 1000);
    QTest::keyRelease(target, key);
}

// A control's place in dialog units, as its screen's table gives it.
struct Place {
    int x, y, width, height;
    bool operator==(const Place&) const = default;
};

inline Place placeOf(const Screen& screen, int id) {
    const ControlSpec* spec = screen.specOf(id);
    if (!spec)
        return {-1, -1, -1, -1};
    return {spec->x, spec->y, spec->width, spec->height};
}

// Every widget really sits where the table says, inside the window. A drop-down list's height
// is that of its closed box, not the open list's height in the table. The list boxes in
// `pastTheEdge` are placed partly below the client area: they end at its bottom edge instead.
inline void expectPlacedInPixels(const Screen& screen, const std::vector<int>& pastTheEdge = {}) {
    for (int id : screen.controlIds()) {
        const ControlSpec* spec = screen.specOf(id);
        QRect expected = screen.toPixels(spec->x, spec->y, spec->width, spec->height);
        QRect actual = screen.control(id)->geometry();
        const bool shortened =
            std::find(pastTheEdge.begin(), pastTheEdge.end(), id) != pastTheEdge.end();
        if (shortened) {
            EXPECT_GT(expected.bottom(), screen.height() - 1) << "control " << id;
            expected.setBottom(screen.height() - 1);
        }
        if (spec->kind == ControlKind::DropDownList) {
            EXPECT_EQ(actual.topLeft(), expected.topLeft()) << "control " << id;
            EXPECT_EQ(actual.width(), expected.width()) << "control " << id;
        } else {
            EXPECT_EQ(actual, expected) << "control " << id;
        }
        EXPECT_TRUE(actual.right() <= screen.width() && actual.bottom() <= screen.height())
            << "control " << id << " at " << actual.right() << ", " << actual.bottom()
            << " in a client area of " << screen.width() << " x " << screen.height();
    }
}

}  // namespace keytut::ui::testing
