// A Keyview program context for driving its exercise screens: the shipped data, a virtual-clock
// sender device attached to the tutor, a test sound system whose devices (the wrong-answer
// sound) finish at once, and the key-state tracker fed by the application's key events.
#pragma once

#include <QTimer>
#include <vector>

#include "exercises/lesson.h"
#include "tests/editions.h"
#include "tests/ui/test_support.h"

namespace keyview::testing {

using keytut::ui::testing::settle;
using keytut::ui::testing::showActive;
using keytut::ui::testing::spin;
using keytut::ui::testing::waitFor;

class KeyviewRig {
  public:
    explicit KeyviewRig(std::uint64_t seed = 7)
        : program(keytut::Edition::Keyview, KEYTUT_DATA_DIR, seed) {
        program.app.setMainWindow(&owner);
        wave = program.wave;
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

    keytut::Tutor& tutor() { return program.tutor; }
    // The lesson an entry opened, for building its screen.
    keytut::LessonState opened;
    keytut::LessonKind begin(int n) {
        return keytut::beginLesson(opened, program.tutor.data.lessonGroups, n);
    }

    keytut::ui::App& app() { return program.app; }

    // Buffers written by the wrong-answer sound so far.
    std::size_t soundsPlayed() const {
        std::size_t n = 0;
        for (auto* out : program.audio.opened)
            n += out->written().size();
        return n;
    }

    std::string heard(std::size_t from = 0) const { return program.heard(from); }
    std::size_t writes() const { return program.writes(); }

    QWidget owner;
    keytut::ui::testing::ExerciseProgram program;
    audio::FakeWaveOut* wave = nullptr;
    QTimer soundClock;
    // For each wrong-answer sound, the sender's writes when it ended.
    std::vector<std::size_t> sendsBeforeSound;
};

}  // namespace keyview::testing
