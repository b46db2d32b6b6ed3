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
    setOpeningFocus(kPitch);
}

void ToneScreen::command(int id, int notification) {
    Tutor& tutor = app().tutor;
    switch (id) {
        case kPitch:
        case kEdges: {
            if (notification != CBN_SELENDOK)
                break;
            ToneSettings chosen = app().settings().tone();
            const int index = selection(id);
            if (id == kPitch && index >= 0 && index < static_cast<int>(pitchChoices().size()))
                chosen.pitch = kLowestPitch + index * kPitchStep;
            if (id == kEdges && index >= 0 && index <= 1)
                chosen.softEdges = index == 1;
            app().settings().setTone(chosen);
            app().keepSettings();
            break;
        }
        case kTry:
            tutor.sender.play(kToneTryText, nullptr);
            break;
        case kClose:
        case kOkCommand:
        case kCancelCommand:
            close();
            break;
        default:
            break;
    }
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
