#include "key_screen.h"

#include <QMessageBox>
#include <QPlainTextEdit>
#include <algorithm>
#include <chrono>
#include <cmath>

#include "key_port.h"
#include "key_setting_screen.h"
#include "keying/key_choices.h"
#include "platform/ui/spoken_box.h"
#include "timing_picture.h"

namespace keytut::keys {

namespace {

// How often the screen looks whether the port has gone (a failed port shows itself only when it
// is read, which it is not while the report is up).
constexpr int kWatchMs = 500;
constexpr double kTickSeconds = 0.005;
// How long nothing is keyed before the voice pauses. Playing again costs the first tone some
// milliseconds (PulseAudio: 19 ms from the key instead of 13; PipeWire, whose graph falls back
// to its long default period meanwhile: 47 instead of 7), so a learner's pauses between words
// and while thinking never pay it; a screen left alone does.
constexpr double kRestAfter = 5.0;
// The voice's first tick after a rest comes when the stream plays again, some milliseconds
// after the key moved; never more than this is made up for it.
constexpr std::int64_t kMostTicksToResume = 100;

std::string portFailedText(const std::string& portText) {
    return "Port " + portText + " has stopped working: the key may have been unplugged.";
}

}  // namespace

KeyScreenHooks programHooks(ui::App& app) {
    KeyScreenHooks hooks;
    hooks.openVoice = [&app] { return app.audio.openSidetone(app.tutor.tone.settings()); };
    hooks.messageBox = [&app](const std::string& title, const std::string& text, bool exclamation) {
        QMessageBox box(exclamation ? QMessageBox::Warning : QMessageBox::NoIcon, ui::qText(title),
                        ui::qText(text), QMessageBox::Ok, app.mainWindow());
        box.exec();
    };
    hooks.timingPicture = [&app](const std::string& title, const std::string& text,
                                 const TimingStatistics& statistics) {
        TimingReportDialog report(title, text, statistics, app.mainWindow());
        report.exec();
    };
    return hooks;
}

std::shared_ptr<StraightKeyDecoder> makeStraightKeyDecoder(const CodeTable& codes,
                                                           const EditionProfile& profile) {
    return std::make_shared<StraightKeyDecoder>(codes, profile, [] {
        // Monotonic: the word speed stays right when the keying crosses midnight.
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    });
}

ui::AddOpeners opensKeyScreens(KeyScreenLayout (*straight)(), KeyScreenLayout (*paddle)()) {
    return [straight, paddle](ui::ExerciseOpeners& openers, ui::App& app) {
        auto decoder = makeStraightKeyDecoder(app.tutor.codes, app.tutor.profile);
        openers.byName[ui::exercise::kStraightKey] = [&app, decoder, layout = straight()] {
            StraightKeyScreen screen(app, layout, *decoder, programHooks(app));
            screen.start();
        };
        openers.byName[ui::exercise::kKey] = [&app] {
            keySettingScreen(app, programHooks(app), [] { return findKeys(); });
        };
        openers.byName[ui::exercise::kPaddleKey] = [&app, layout = paddle()] {
            PaddleKeyScreen screen(app, layout, app.settings().characterSpeedText(),
                                   programHooks(app));
            screen.start();
        };
    };
}

KeyScreen::KeyScreen(ui::App& app, const KeyScreenLayout& layout, KeyScreenHooks hooks)
    : ExerciseScreen(app, layout.screen), layout_(layout), hooks_(std::move(hooks)) {
    for (const auto& control : layout_.controls)
        createControl(control);
    for (const auto& [id, name] : layout_.names)
        ui::nameForScreenReader(control(id), ui::qText(name));
    decodedTextBox_ = controlAs<QPlainTextEdit>(kDecodedTextBox);
    lastCharLabel_ = controlAs<ui::SpokenBox>(layout_.spokenLabel);
    if (decodedTextBox_) {
        decodedTextBox_->setVerticalScrollBarPolicy(layout_.textScrollBar ? Qt::ScrollBarAlwaysOn
                                                                          : Qt::ScrollBarAlwaysOff);
    }
    setKeyTable(layout_.keys);
}

KeyScreen::~KeyScreen() {
    release();
}

bool KeyScreen::openPort() {
    // The key chosen for the number on the Key screen, unless the command line names another.
    const auto devices = portDevices(app().settings().keys(), app().options.portDevices);
    KeyPortPlace place;
    place.portDevices = &devices;
    place.screen = this;
    // A key script plays on the side-tone's clock: the same however busy the program is.
    place.elapsedMs = [this] { return ticks_ * 5; };
    place.inputKeys = app().settings().inputKeys();
    const std::string& port = app().settings().port();
    auto result = hooks_.openKey ? hooks_.openKey(port, place) : openKeyPort(port, place);
    if (auto* error = std::get_if<KeyPortError>(&result)) {
        messageBox(kCommPortErrorTitle, error->message, true);
        return false;
    }
    key_ = std::move(std::get<std::unique_ptr<KeySource>>(result));
    key_->setChangeHandler([this] {
        if (key_ && voice_) {
            wake();
            keyChanged(*key_);
        }
    });
    return true;
}

void KeyScreen::start() {
    if (!openPort())
        return;
    run();
}

void KeyScreen::initialise() {
    ExerciseScreen::initialise();
    voice_ = hooks_.openVoice ? hooks_.openVoice() : nullptr;
    if (voice_)
        voice_->setTickHandler([this] { onTick(); });
    lastTick_ = now();
    startPoller(kWatchMs, [this] { watch(); });
}

double KeyScreen::now() const {
    if (hooks_.now)
        return hooks_.now();
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void KeyScreen::onTick() {
    if (!key_ || ended() || resting_)
        return;
    const double t = now();
    if (woken_) {
        // The ticks between the key's move and the voice playing again, with the key as it is.
        woken_ = false;
        auto due = std::llround((t - accountedTo_) / kTickSeconds) - 1;
        for (due = std::clamp<std::int64_t>(due, 0, kMostTicksToResume); due > 0; --due) {
            tick(*key_);
            ++ticks_;
        }
    }
    tick(*key_);
    ++ticks_;
    lastTick_ = t;
    restIfIdle();
}

void KeyScreen::restIfIdle() {
    if (!voice_ || !key_ || ended() || !resting()) {
        idleSince_.reset();
        return;
    }
    if (!idleSince_)
        idleSince_ = lastTick_;
    if (lastTick_ - *idleSince_ < kRestAfter || lastTick_ < nextRestTry_)
        return;
    if ((key_->readKeyLines() & keyLineMask()) != 0)
        return;
    // What will tell of the key's next move: the key itself, the time of a script's next change,
    // or a watch on a serial key's lines. A key that offers none keeps the voice ticking.
    const bool told = key_->tellsEveryChange();
    const auto untilChange = key_->msUntilChange();
    const int descriptor = key_->modemLinesDescriptor();
    if (!told && !untilChange && descriptor < 0)
        return;
    if (!voice_->pause()) {
        nextRestTry_ = lastTick_ + 1.0;
        return;
    }
    resting_ = true;
    if (told)
        return;
    if (!untilChange) {
        lineWatch_.start(descriptor, [this] {
            QMetaObject::invokeMethod(
                this, [this] { wakeOnMove(); }, Qt::QueuedConnection);
        });
        return;
    }
    if (*untilChange == KeySource::kNever)
        return;
    if (!restTimer_) {
        restTimer_ = new QTimer(this);
        restTimer_->setTimerType(Qt::PreciseTimer);
        restTimer_->setSingleShot(true);
        connect(restTimer_, &QTimer::timeout, this, [this] { wakeOnMove(); });
    }
    // On the first tick at or after the change, a millisecond late rather than early.
    const std::int64_t ticksToChange = (*untilChange + 4) / 5;
    restTimer_->start(static_cast<int>(std::min<std::int64_t>(ticksToChange * 5 + 1, INT32_MAX)));
}

void KeyScreen::wakeOnMove() {
    if (resting_ && key_) {
        wake();
        keyChanged(*key_);
    }
}

void KeyScreen::wake() {
    if (!resting_)
        return;
    if (restTimer_)
        restTimer_->stop();
    lineWatch_.stop();
    resting_ = false;
    idleSince_.reset();
    // The whole ticks of the rest, counted from the last tick handled; what is left of a tick is
    // made up with the ones until the voice plays again.
    const double t = now();
    const auto rest = std::max<std::int64_t>(
        0, static_cast<std::int64_t>(std::floor((t - lastTick_) / kTickSeconds + 1e-6)));
    rested(rest);
    ticks_ += rest;
    accountedTo_ = lastTick_ + static_cast<double>(rest) * kTickSeconds;
    woken_ = true;
    if (voice_)
        voice_->resume();
}

void KeyScreen::done(int result) {
    // Every way out (Escape, the Close box, the program's end) comes here: the voice stops now
    // and the port is let go.
    release();
    Screen::done(result);
}

void KeyScreen::release() {
    lineWatch_.stop();  // it reads the key's lines
    voice_.reset();
    key_.reset();
}

void KeyScreen::setTone(bool on) {
    if (voice_)
        voice_->setTone(on);
}

void KeyScreen::watch() {
    if (key_ && key_->failed() && !portFaultReported_) {
        portFaultReported_ = true;
        setTone(false);
        say(portFailedText(app().settings().port()));
    }
}

void KeyScreen::say(const std::string& text) {
    if (!lastCharLabel_) {
        messageBox(kCommPortErrorTitle, text, true);
        return;
    }
    ui::Change change;
    change.text(lastCharLabel_, text).speak = lastCharLabel_;
    apply(change);
}

void KeyScreen::show(const std::string& text, const std::optional<std::string>& character) {
    // The character is spoken before the decoded text changes. While the focus is still on the
    // decoded text box (the first character after the screen opens), each change of that box
    // keeps Orca 43 busy for about a quarter of a second, and the focus change queued behind
    // them was dropped: the first character went unsaid. Off the focus, its changes cost
    // nothing.
    if (lastCharLabel_ && character) {
        ui::Change said;
        said.text(lastCharLabel_, *character);
        // Nothing to say for a discarded code: the label is only emptied.
        if (!character->empty())
            said.speak = lastCharLabel_;
        apply(said);
    }
    ui::Change change;
    change.text(decodedTextBox_, text);
    apply(change);
    if (decodedTextBox_)
        decodedTextBox_->moveCursor(QTextCursor::End);
}

void KeyScreen::messageBox(const std::string& title, const std::string& text, bool exclamation) {
    if (hooks_.messageBox)
        hooks_.messageBox(title, text, exclamation);
}

void KeyScreen::timingReport(const std::string& text, const TimingStatistics& statistics) {
    if (layout_.timingPicture && hooks_.timingPicture) {
        hooks_.timingPicture(kTimingsTitle, text, statistics);
    } else {
        messageBox(kTimingsTitle, text, false);
    }
}

StraightKeyScreen::StraightKeyScreen(ui::App& app, const KeyScreenLayout& layout,
                                     StraightKeyDecoder& decoder, KeyScreenHooks hooks)
    : KeyScreen(app, layout, std::move(hooks)), decoder_(decoder) {
    decoder_.beginVisit();
    if (layout_.timingsKey != 0) {
        std::vector<ui::KeyBinding> keys = layout_.keys;
        keys.push_back({layout_.timingsKey, Qt::NoModifier, [this] { showTimings(); }});
        setKeyTable(std::move(keys));
    }
    if (layout_.timingsButton != 0)
        onPressed(control(layout_.timingsButton), [this] { showTimings(); });
}

void StraightKeyScreen::tick(KeySource& key) {
    if (!reporting_) {
        if (auto c = decoder_.keyLines(key.readKeyLines()))
            output(*c);
    }
    setTone(decoder_.keyDown());
    decoder_.tick();
    if (auto c = decoder_.flushIfDue())
        output(*c);
}

void StraightKeyScreen::keyChanged(KeySource& key) {
    if (!reporting_)
        setTone((key.readKeyLines() & StraightKeyDecoder::kKeyLineMask) != 0);
}

void StraightKeyScreen::output(const KeyedCharacter& c) {
    show(decoder_.decodedText(), c.character);
}

void StraightKeyScreen::showTimings() {
    if (reporting_)
        return;
    reporting_ = true;
    // This visit's marks and spaces, before the new measurement forgets them.
    const TimingStatistics statistics = timingStatistics(decoder_.timedElements());
    timingReport(decoder_.timingReport(), statistics);
    reporting_ = false;
    if (ended())
        return;
    decoder_.startNewMeasurement();
    setText(decodedTextBox_, "");
    // Earkey: after the report, how each kind went, said in one go so that no sentence cuts
    // off another.
    std::string said;
    for (const auto& sentence : timingSentences(statistics))
        said += (said.empty() ? "" : " ") + sentence;
    if (lastCharLabel_ && !said.empty()) {
        // Said once this screen is active again after the box, or the screen reader loses it.
        ui::whenActive(this, [this, said] {
            if (ended())
                return;
            ui::Change change;
            change.text(lastCharLabel_, said).speak = lastCharLabel_;
            apply(change);
        });
    }
}

PaddleKeyScreen::PaddleKeyScreen(ui::App& app, const KeyScreenLayout& layout,
                                 const std::string& wpmText, KeyScreenHooks hooks)
    : KeyScreen(app, layout, std::move(hooks)),
      keyer_(app.tutor.codes, app.tutor.profile, paddleDotTicks(wpmText),
             app.settings().keyerMode()) {}

void PaddleKeyScreen::tick(KeySource& key) {
    auto character = keyer_.step([&key] { return key.readKeyLines(); });
    setTone(keyer_.toneOn());
    if (character)
        show(keyer_.text(), *character);
}

}  // namespace keytut::keys
