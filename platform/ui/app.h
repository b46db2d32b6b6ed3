// What every screen of a program can reach: the program-wide state, the sound system, the
// message boxes, the key states for the pollers, the options of the run and the main window.
#pragma once

#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "core/messages.h"
#include "core/tutor.h"
#include "kept_settings.h"
#include "key_state.h"
#include "keying/input_keys.h"
#include "keying/keyer_modes.h"
#include "platform/audio/audio_system.h"
#include "progress/store.h"
#include "settings.h"

namespace keytut::ui {

// Chosen on the command line.
struct ProgramOptions {
    audio::Backend backend = audio::Backend::PortAudio;
    std::string recordPath;  // --record: the WAV file everything played goes to
    // --port N=DEVICE: the device a port number typed in the main window stands for.
    std::map<std::string, std::string> portDevices;
    std::optional<std::uint64_t> seed;   // --seed: reproducible draws
    std::filesystem::path dataFolder;    // --data: where the program runs; empty: where started
    bool resetSettings = false;          // --reset-settings: start from the default settings
    std::optional<KeyerMode> keyer;      // --keyer MODE: the paddle keyer's mode, then kept
    std::optional<InputKeys> inputKeys;  // --input-keys DOT,DASH: a keyboard-type adapter's keys
    // --progress FILE: where the learner's answers are kept (the program gives the default);
    // empty: nothing is kept.
    std::filesystem::path progressFile;
};

class App {
  public:
    App(Tutor& tutor, audio::AudioSystem& audio, MessageSink& messages, KeyStateTracker& keys,
        ProgramOptions options);
    ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    Tutor& tutor;
    audio::AudioSystem& audio;
    MessageSink& messages;
    KeyStateTracker& keys;
    const ProgramOptions options;

    // The learner's settings, which every screen reads and the setting screens change.
    Settings& settings() { return settings_; }
    const Settings& settings() const { return settings_; }

    // The owner of every exercise screen.
    QWidget* mainWindow() const { return mainWindow_; }
    void setMainWindow(QWidget* window) { mainWindow_ = window; }

    // The folder the data files, "ding.wav" and the learner's files are read from: the working
    // directory.
    std::filesystem::path dataFolder() const;

    // The device given with --port for a port number as typed; empty when none was given.
    std::string portDevice(const std::string& portText) const;

    // Plays a sound file from the data folder (a short chime where it is missing or unreadable)
    // and calls `then` when it has played, if `context` still lives; returns at once. The
    // learner's keys wait meanwhile, in order, as during holdFor(); Escape ends the wait.
    void playSound(const std::string& name, QObject* context, std::function<void()> then);

    // Lets go of the sound device of playSound().
    void releaseSound();

    // Where the settings are kept between runs; none (tests): they are not kept.
    void setSettingsKeeper(SettingsKeeper* keeper) { keeper_ = keeper; }
    // Keeps the settings now: the main window and the tone screen call it on every change,
    // so that what the learner chose is kept however the program ends. The first time they
    // cannot be kept the learner is told, once, in a message box above the main window (the
    // screen reader reads it); later failures are left to the program's end.
    void keepSettings();

    // The learner's history, opened on first use from the --progress file; null when none is
    // kept. A store that could not be opened is still given: it keeps nothing and tells why,
    // once (History::takeFaultNotice()).
    progress::Store* progress();

    // Milliseconds since 1970 (UTC): when answers are judged. Tests may set a clock of their own.
    std::function<std::int64_t()> clock;

  private:
    Settings settings_;
    QPointer<QWidget> mainWindow_;
    std::unique_ptr<audio::WaveOut> soundOut_;
    SettingsKeeper* keeper_ = nullptr;
    bool toldSettingsUnkept_ = false;
    std::unique_ptr<progress::Store> progress_;
};

// What the learner is told when the settings cannot be kept: the reason follows.
inline const char* const kSettingsUnkeptMessage = "The settings cannot be kept for the next run: ";

}  // namespace keytut::ui
