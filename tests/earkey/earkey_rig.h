// A program context for Earkey's screens: the shipped data, a virtual-clock sound device for the
// sender, a wrong-answer sound that finishes at once and is logged, the key tracker fed by the
// test's key events, and a record of every focus change with what a screen reader would read at
// that moment.
#pragma once

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "core/tutor.h"
#include "platform/audio/audio_system.h"
#include "platform/audio/fake_wave_out.h"
#include "platform/ui/app.h"
#include "platform/ui/screen.h"

namespace earkey::testing {

using namespace keytut;

// Sounds played with App::playSound: each finishes as soon as it is written. `order` receives
// "ding" so that it can be placed among the sender's characters.
class InstantAudio : public audio::AudioSystem {
  public:
    explicit InstantAudio(std::vector<std::string>& order) : order_(order) {}
    std::unique_ptr<audio::WaveOut> open(audio::DoneTiming) override {
        return std::make_unique<Device>(order_);
    }
    std::string problem() const override { return {}; }

  private:
    class Device : public audio::FakeWaveOut {
      public:
        explicit Device(std::vector<std::string>& order) : order_(order) {}
        void write(std::span<const std::int16_t> samples, std::uint64_t tag) override {
            order_.push_back("ding");
            FakeWaveOut::write(samples, tag);
            runUntilIdle();
        }

      private:
        std::vector<std::string>& order_;
    };
    std::vector<std::string>& order_;
};

// One focus change: the control that got the focus and its accessible name at that moment.
struct FocusChange {
    int id = 0;
    std::string name;
    std::string role;
    QWidget* widget = nullptr;
    qint64 atMs = 0;
    std::size_t soundsWritten = 0;  // buffers the sender had written by then
};

class EarkeyRig {
  public:
    EarkeyRig() : tutor(Edition::Earkey), audio(order), app(tutor, audio, messages, keys, {}) {
        CollectingMessageSink sink;
        EXPECT_TRUE(tutor.loadData(KEYTUT_DATA_DIR, sink));
        auto device = std::make_unique<audio::FakeWaveOut>();
        wave = device.get();
        tutor.attachWaveOut(std::move(device));
        tutor.random.seed(11);
        qApp->installEventFilter(&keys);
        clock.start();
        QObject::connect(qApp, &QApplication::focusChanged, &context,
                         [this](QWidget*, QWidget* now) { recordFocus(now); });
    }
    ~EarkeyRig() {
        qApp->removeEventFilter(&keys);
        tutor.attachWaveOut(nullptr);
    }

    // The characters the sender has written from buffer `from` on, recognised by their samples.
    std::string heard(std::size_t from = 0) {
        std::string result;
        const auto& written = wave->written();
        for (std::size_t i = from; i < written.size(); ++i)
            result += recognise(written[i].samples);
        return result;
    }
    std::size_t writes() const { return wave->written().size(); }

    // Writes of the sender and the dings, in the order they happened.
    void noteWrites() {
        while (noted_ < writes())
            order.push_back(std::string(1, recognise(wave->written()[noted_++].samples)));
    }

    // The names spoken (focus changes onto `id`) from change number `from` on.
    std::vector<std::string> namesOn(int id, std::size_t from = 0) const {
        std::vector<std::string> names;
        for (std::size_t i = from; i < focus.size(); ++i)
            if (focus[i].id == id)
                names.push_back(focus[i].name);
        return names;
    }

    keytut::ui::Screen* screen = nullptr;  // whose control ids the focus record uses
    Tutor tutor;
    std::vector<std::string> order;
    InstantAudio audio;
    CollectingMessageSink messages;
    keytut::ui::KeyStateTracker keys;
    keytut::ui::App app;
    audio::FakeWaveOut* wave = nullptr;
    std::vector<FocusChange> focus;
    QElapsedTimer clock;

  private:
    void recordFocus(QWidget* now) {
        if (!now)
            return;
        noteWrites();
        FocusChange change;
        change.widget = now;
        change.atMs = clock.elapsed();
        change.soundsWritten = writes();
        if (screen) {
            for (QWidget* w = now; w && w != screen; w = w->parentWidget()) {
                if (int id = screen->idOf(w)) {
                    change.id = id;
                    break;
                }
            }
        }
        if (QAccessibleInterface* a = QAccessible::queryAccessibleInterface(now)) {
            change.name = a->text(QAccessible::Name).toStdString();
            change.role = std::to_string(static_cast<int>(a->role()));
        }
        focus.push_back(change);
    }

    char recognise(const std::vector<std::int16_t>& samples) const {
        if (samples.empty())
            return '_';
        std::vector<std::int16_t> buffer(kSampleBufferSize);
        for (int c = 32; c < 127; ++c) {
            auto n = synthesiseCharacter(static_cast<char>(c), tutor.codes, tutor.sineTable,
                                         tutor.timing, buffer);
            if (n == samples.size() && std::equal(samples.begin(), samples.end(), buffer.begin()))
                return static_cast<char>(c);
        }
        return '?';
    }

    QObject context;
    std::size_t noted_ = 0;
};

// Shows a window and makes it the active one, so that focus and keys work.
inline bool showActive(QWidget& window) {
    window.show();
    QApplication::setActiveWindow(&window);
    return QTest::qWaitForWindowActive(&window);
}

// Handles posted events (and the waits they start) until nothing is left.
inline void settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// A key held long enough for the 50 ms poller to see it down.
inline void pressKey(QWidget* target, Qt::Key key) {
    QTest::keyPress(target, key);
    QTest::qWait(120);
    QTest::keyRelease(target, key);
    settle();
}

}  // namespace earkey::testing
