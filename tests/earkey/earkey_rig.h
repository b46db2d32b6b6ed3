// A program context for Earkey's screens: the shipped data, a virtual-clock sound device for the
// sender, a wrong-answer sound that finishes at once and is logged, the key tracker fed by the
// test's key events, and a record of every focus change with what a screen reader would read at
// that moment.
#pragma once

#include <QAccessible>
#include <string>
#include <vector>

#include "exercises/lesson.h"
#include "platform/ui/screen.h"
#include "tests/editions.h"
#include "tests/ui/test_support.h"

namespace earkey::testing {

using namespace keytut;
using keytut::ui::testing::settle;
using keytut::ui::testing::showActive;

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
    EarkeyRig()
        : program(Edition::Earkey, KEYTUT_DATA_DIR, 11),
          tutor(program.tutor),
          app(program.app),
          wave(program.wave) {
        // Sounds played with App::playSound finish as soon as they are written; `order`
        // receives "ding" so that they can be placed among the sender's characters.
        program.audio.onWrite = [this](audio::FakeWaveOut& out) {
            order.push_back("ding");
            out.runUntilIdle();
        };
        clock.start();
        QObject::connect(qApp, &QApplication::focusChanged, &context,
                         [this](QWidget*, QWidget* now) { recordFocus(now); });
    }

    // The characters the sender has written from buffer `from` on, recognised by their samples.
    std::string heard(std::size_t from = 0) const { return program.heard(from); }
    std::size_t writes() const { return program.writes(); }

    // Writes of the sender and the dings, in the order they happened.
    void noteWrites() {
        while (noted_ < writes())
            order.push_back(std::string(1, program.recognise(wave->written()[noted_++].samples)));
    }

    // The names spoken (focus changes onto `id`) from change number `from` on.
    std::vector<std::string> namesOn(int id, std::size_t from = 0) const {
        std::vector<std::string> names;
        for (std::size_t i = from; i < focus.size(); ++i)
            if (focus[i].id == id)
                names.push_back(focus[i].name);
        return names;
    }

    // The lesson an entry opened, for building its screen.
    keytut::LessonState opened;
    keytut::LessonKind begin(int n) {
        return keytut::beginLesson(opened, program.tutor.data.lessonGroups, n);
    }
    keytut::ui::Screen* screen = nullptr;  // whose control ids the focus record uses
    std::vector<std::string> order;
    keytut::ui::testing::ExerciseProgram program;
    Tutor& tutor;
    keytut::ui::App& app;
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

    QObject context;
    std::size_t noted_ = 0;
};

// A key held until the 50 ms poller has seen it down.
inline void pressKey(EarkeyRig& rig, QWidget* target, Qt::Key key) {
    keytut::ui::testing::holdForPoller(target, key, rig.app.keys);
    settle();
}

}  // namespace earkey::testing
