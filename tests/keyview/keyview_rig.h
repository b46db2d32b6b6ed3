// A Keyview program context for driving its exercise screens: the shipped data, a virtual-clock
// sender device attached to the tutor, a test sound system whose devices (the wrong-answer
// sound) finish at once, and the key-state tracker fed by the application's key events.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

#include "exercises/lesson.h"
#include "tests/ui/test_support.h"

namespace keyview::testing {

using keytut::ui::testing::settle;
using keytut::ui::testing::showActive;

class KeyviewRig {
  public:
    explicit KeyviewRig(std::uint64_t seed = 7) : program(keytut::Edition::Keyview) {
        keytut::CollectingMessageSink sink;
        EXPECT_TRUE(program.tutor.loadData(KEYTUT_DATA_DIR, sink));
        auto device = std::make_unique<audio::FakeWaveOut>();
        wave = device.get();
        program.tutor.attachWaveOut(std::move(device));
        program.tutor.random.seed(seed);
        program.app.setMainWindow(&owner);
        QApplication::instance()->installEventFilter(&program.keys);
        // Sounds played to their end (the wrong-answer sound) end shortly after they start.
        QObject::connect(&soundClock, &QTimer::timeout, [this] {
            for (auto* out : program.audio.opened) {
                if (out->queued() == 0)
                    continue;
                sendsBeforeSound.push_back(wave->written().size());
                out->advance(1'000'000);
            }
        });
        soundClock.start(5);
    }
    ~KeyviewRig() { QApplication::instance()->removeEventFilter(&program.keys); }

    keytut::Tutor& tutor() { return program.tutor; }
    keytut::ui::App& app() { return program.app; }

    // Buffers written by the wrong-answer sound so far.
    std::size_t soundsPlayed() const {
        std::size_t n = 0;
        for (auto* out : program.audio.opened)
            n += out->written().size();
        return n;
    }

    // The characters the sender's device was given from buffer `from` on, recognised by their
    // samples: ' ' for a word space, '_' for an empty buffer, '?' for anything else.
    std::string heard(std::size_t from = 0) const {
        std::string result;
        const auto& written = wave->written();
        std::vector<std::int16_t> buffer(keytut::kSampleBufferSize);
        for (std::size_t i = from; i < written.size(); ++i) {
            const auto& samples = written[i].samples;
            char found = samples.empty() ? '_' : '?';
            for (int c = 32; c < 127 && found == '?'; ++c) {
                auto n = keytut::synthesiseCharacter(static_cast<char>(c), program.tutor.codes,
                                                     program.tutor.sineTable, program.tutor.timing,
                                                     buffer);
                if (n == samples.size() &&
                    std::equal(samples.begin(), samples.end(), buffer.begin())) {
                    found = static_cast<char>(c);
                }
            }
            result += found;
        }
        return result;
    }
    std::size_t writes() const { return wave->written().size(); }

    // Runs the event loop until `done` holds or `ms` have passed; returns `done()`.
    static bool waitFor(const std::function<bool()>& done, int ms = 1000) {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < ms) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        return done();
    }
    // Runs the event loop for `ms`, whatever happens.
    static void spin(int ms) {
        waitFor([] { return false; }, ms);
    }

    QWidget owner;
    keytut::ui::testing::TestProgram program;
    audio::FakeWaveOut* wave = nullptr;
    QTimer soundClock;
    // For each wrong-answer sound, the sender's writes when it ended.
    std::vector<std::size_t> sendsBeforeSound;
};

}  // namespace keyview::testing
