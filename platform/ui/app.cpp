#include "app.h"

#include <QCoreApplication>

#include "blocking_wait.h"
#include "kept_settings.h"
#include "sound.h"

namespace keytut::ui {

App::App(Tutor& tutor, audio::AudioSystem& audio, MessageSink& messages, KeyStateTracker& keys,
         ProgramOptions options)
    : tutor(tutor),
      audio(audio),
      messages(messages),
      keys(keys),
      options(std::move(options)),
      clock([] {
          using namespace std::chrono;
          return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
      }),
      settings_(tutor) {}

App::~App() {
    releaseSound();
}

std::filesystem::path App::dataFolder() const {
    std::error_code error;
    auto folder = std::filesystem::current_path(error);
    return error ? std::filesystem::path(".") : folder;
}

std::string App::portDevice(const std::string& portText) const {
    auto it = options.portDevices.find(portText);
    return it == options.portDevices.end() ? std::string() : it->second;
}

void App::playSound(const std::string& name, QObject* context, std::function<void()> then) {
    auto samples = loadSoundFile(dataFolder() / name);
    if (!samples)
        samples = chimeSamples();
    if (!soundOut_)
        soundOut_ = audio.open(audio::DoneTiming::AtPlayback);
    auto done = std::make_shared<bool>(false);
    soundOut_->setDoneHandler([done](std::uint64_t) { *done = true; });
    soundOut_->write(*samples, 1);
    // However the device behaves, the learner is not kept waiting for long. The hold ends with
    // its screen, which the App outlives.
    const int lengthMs = static_cast<int>(samples->size() * 1000 / audio::kSampleRate);
    holdUntil([this, done] { return *done || !soundOut_ || soundOut_->lost(); }, lengthMs + 1500,
              context,
              [this, done, then = std::move(then)] {
                  if (soundOut_) {
                      soundOut_->setDoneHandler(nullptr);
                      if (!*done)
                          soundOut_->reset();
                  }
                  then();
              });
}

void App::keepSettings() {
    if (!keeper_ || keeper_->keep(settings_.kept()) || toldSettingsUnkept_)
        return;
    toldSettingsUnkept_ = true;
    // After the handler that changed the setting has returned (a list may be in the middle of
    // its change), and only while the main window is still there.
    const std::string text = kSettingsUnkeptMessage + keeper_->error();
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [this, window = QPointer<QWidget>(mainWindow_), text] {
            if (window && window->isVisible())
                messages.showMessage(text);
        },
        Qt::QueuedConnection);
}

progress::Store* App::progress() {
    if (!progress_ && !options.progressFile.empty())
        progress_ = std::make_unique<progress::Store>(options.progressFile);
    return progress_.get();
}

void App::releaseSound() {
    if (!soundOut_)
        return;
    soundOut_->setDoneHandler(nullptr);
    soundOut_->reset();
    soundOut_.reset();
}

}  // namespace keytut::ui
