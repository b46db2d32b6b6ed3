#include "exercise_screen.h"

#include "blocking_wait.h"
#include "exercises/key_poller.h"
#include "spoken_box.h"

namespace keytut::ui {

namespace {

ScreenSpec ownedByMainWindow(App& app, ScreenSpec spec) {
    if (!spec.owner)
        spec.owner = app.mainWindow();
    return spec;
}

}  // namespace

ExerciseScreen::ExerciseScreen(App& app, const ScreenSpec& spec)
    : Screen(ownedByMainWindow(app, spec)), app_(app) {}

ExerciseScreen::~ExerciseScreen() = default;

void ExerciseScreen::startKeyPoller(std::function<std::string()> candidates, int intervalMs) {
    startPoller(intervalMs, [this, candidates = std::move(candidates)] {
        const std::string keys = candidates();
        if (keys.empty())
            return;
        auto key = pollKeys(keys, [this](char c) {
            return static_cast<int>(app_.keys.asyncKeyState(static_cast<unsigned char>(c)));
        });
        if (key)
            keyPressed(*key);
    });
}

void ExerciseScreen::initialise() {
    if (openingFocus_ && control(openingFocus_))
        focus(openingFocus_);
}

void ExerciseScreen::apply(const Change& change) {
    if (change.delayMs > 0) {
        // No nested event loop: the rest of the change comes from a timer, the learner's keys
        // and the queued calls held meanwhile as in any wait.
        Change now = change;
        now.delayMs = 0;
        holdFor(change.delayMs, this, [this, now] {
            if (!ended())
                apply(now);
        });
        return;
    }
    std::optional<std::string> spoken;
    for (const auto& [control, text] : change.texts) {
        if (!control)
            continue;
        if (control == change.speak)
            spoken = text;
        else
            setText(control, text);
    }
    if (change.focus)
        focus(change.focus);
    if (auto* box = qobject_cast<SpokenBox*>(change.speak.data()))
        speak(box, spoken ? *spoken : text(box));
}

void ExerciseScreen::tell(const std::string& words) {
    if (app_.tutor.profile.style.speaksTexts) {
        announce(words);
    } else {
        app_.messages.showMessage(words);
    }
}

}  // namespace keytut::ui
