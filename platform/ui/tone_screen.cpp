#include "tone_screen.h"

namespace keytut::ui {

using namespace tone;

std::vector<std::string> pitchChoices() {
    std::vector<std::string> choices;
    for (int hz = kLowestPitch; hz <= kHighestPitch; hz += kPitchStep)
        choices.push_back(std::to_string(hz) + " Hz");
    return choices;
}

std::vector<std::string> edgeChoices() {
    return {"Hard", "Soft"};
}

ToneScreen::ToneScreen(App& app)
    : ExerciseScreen(app,
                     {kToneTitle, kWidth, kHeight, DialogFont::SansSerif8,
                      app.tutor.profile.style.keyboardOnly ? FrameKind::Popup : FrameKind::Closable,
                      nullptr}) {
    createControl({kPitchLabel, ControlKind::Label, "&Pitch:", 5, 8, 40, 10, style::AlignRight});
    createControl({kPitch, ControlKind::DropDownList, "", 50, 6, 50, 80});
    createControl({kEdgesLabel, ControlKind::Label, "&Edges:", 5, 26, 40, 10, style::AlignRight});
    createControl({kEdges, ControlKind::DropDownList, "", 50, 24, 50, 80});
    createControl({kTry, ControlKind::PushButton, "&Try", 15, 48, 50, 14});
    createControl({kClose, ControlKind::PushButton, "Close", 85, 48, 50, 14, style::DefaultButton});
    labelControl(kPitchLabel, kPitch);
    labelControl(kEdgesLabel, kEdges);
    setItems(kPitch, pitchChoices());
    setItems(kEdges, edgeChoices());
    const ToneSettings& chosen = app.settings().tone();
    setSelection(kPitch, (chosen.pitch - kLowestPitch) / kPitchStep);
    setSelection(kEdges, chosen.softEdges ? 1 : 0);
    onChosen(control(kPitch), [this](int index) { choose(kPitch, index); });
    onChosen(control(kEdges), [this](int index) { choose(kEdges, index); });
    onPressed(control(kTry), [this] { this->app().tutor.sender.play(kToneTryText, nullptr); });
    onPressed(control(kClose), [this] { close(); });
    setOpeningFocus(kPitch);
}

void ToneScreen::choose(int list, int index) {
    ToneSettings chosen = app().settings().tone();
    if (list == kPitch && index >= 0 && index < static_cast<int>(pitchChoices().size()))
        chosen.pitch = kLowestPitch + index * kPitchStep;
    if (list == kEdges && index >= 0 && index <= 1)
        chosen.softEdges = index == 1;
    app().settings().setTone(chosen);
    app().keepSettings();
}

void ToneScreen::close() {
    // What Try started ends with the character that is playing.
    app().tutor.sender.stop();
    endScreen();
}

void toneScreen(App& app) {
    ToneScreen screen(app);
    screen.run();
}

}  // namespace keytut::ui
