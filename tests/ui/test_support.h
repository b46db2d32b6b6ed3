// Helpers shared by the widget tests: a program context with a silent, test-driven sound system.
#pragma once

#include <QApplication>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "core/tutor.h"
#include "platform/audio/audio_system.h"
#include "platform/audio/fake_wave_out.h"
#include "platform/ui/app.h"

namespace keytut::ui::testing {

class TestAudio : public audio::AudioSystem {
  public:
    std::unique_ptr<audio::WaveOut> open(audio::DoneTiming) override {
        auto out = std::make_unique<audio::FakeWaveOut>();
        opened.push_back(out.get());
        return out;
    }
    std::string problem() const override { return {}; }
    std::vector<audio::FakeWaveOut*> opened;
};

struct TestProgram {
    explicit TestProgram(Edition edition, std::vector<std::string> groups = {})
        : tutor(edition), app(tutor, audio, messages, keys, {}) {
        tutor.data.lessonGroups = std::move(groups);
    }
    Tutor tutor;
    TestAudio audio;
    CollectingMessageSink messages;
    KeyStateTracker keys;
    App app;
};

// Shows a window and makes it the active one, so that focus and shortcuts work.
inline bool showActive(QWidget& window) {
    window.show();
    QApplication::setActiveWindow(&window);
    return QTest::qWaitForWindowActive(&window);
}

// Handles posted events and deletes what was deleted later.
inline void settle() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

}  // namespace keytut::ui::testing
