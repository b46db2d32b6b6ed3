#include "tone_screen.h"

#include <QComboBox>
#include <QPushButton>

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
    pitch_ = createControlAs<QComboBox>({kPitch, ControlKind::DropDownList, "", 50, 6, 50, 80});
    createControl({kEdgesLabel, ControlKind::Label, "&Edges:", 5, 26, 40, 10, style::AlignRight});
    edges_ = createControlAs<QComboBox>({kEdges, ControlKind::DropDownList, "", 50, 24, 50, 80});
    try_ = createControlAs<QPushButton>({kTry, ControlKind::PushButton, "&Try", 15, 48, 50, 14});
    close_ = createControlAs<QPushButton>(
        {kClose, ControlKind::PushButton, "Close", 85, 48, 50, 14, style::DefaultButton});
    labelControl(kPitchLabel, kPitch);
    labelControl(kEdgesLabel, kEdges);
    setItems(pitch_, pitchChoices());
    setItems(edges_, edgeChoices());
    const ToneSettings& chosen = app.settings().tone();
    setSelection(pitch_, (chosen.pitch - kLowestPitch) / kPitchStep);
    setSelection(edges_, chosen.softEdges ? 1 : 0);
    onChosen(pitch_, [this](int index) { choosePitch(index); });
    onChosen(edges_, [this](int index) { chooseEdges(index); });
    onPressed(try_, [this] { this->app().tutor.sender.play(kToneTryText, nullptr); });
    onPressed(close_, [this] { close(); });
    setOpeningFocus(kPitch);
}

void ToneScreen::choosePitch(int index) {
    ToneSettings chosen = app().settings().tone();
    if (index >= 0 && index < static_cast<int>(pitchChoices().size()))
        chosen.pitch = kLowestPitch + index * kPitchStep;
    keep(chosen);
}

void ToneScreen::chooseEdges(int index) {
    ToneSettings chosen = app().settings().tone();
    if (index >= 0 && index <= 1)
        chosen.softEdges = index == 1;
    keep(chosen);
}

void ToneScreen::keep(const ToneSettings& chosen) {
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
