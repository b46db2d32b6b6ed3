#include "punctuation_screen.h"

#include "exercises/lesson.h"

namespace keyview {

using namespace keytut::ui;

namespace {

ScreenSpec punctuationSpec() {
    ScreenSpec spec;
    spec.title = std::string(keytut::kPunctuationTitle);
    spec.width = 300;
    spec.height = 220;
    spec.font = DialogFont::SansSerif8;
    spec.frame = FrameKind::Popup;
    return spec;
}

// A button shows '&' only when doubled; single ones would mark a mnemonic.
std::string buttonCaption(const std::string& caption) {
    std::string result;
    for (char c : caption) {
        result += c;
        if (c == '&')
            result += '&';
    }
    return result;
}

}  // namespace

PunctuationScreen::PunctuationScreen(App& app, const keytut::LessonState& opened)
    : ExerciseScreen(app, punctuationSpec()), lesson_(app.tutor, opened.text) {
    using namespace punctuation;
    createControl(
        {kHeading, ControlKind::Label, std::string(keytut::kPunctuationHeading), 10, 5, 230, 10});
    int i = 1;
    for (const keytut::SignButton& sign : lesson_.buttons()) {
        onPressed(createControl({100 + i, ControlKind::PushButton,
                                 buttonCaption(sign.keyviewCaption), 20, 20 * i, 25, 15}),
                  [this, index = std::size_t(i - 1)] { lesson_.play(index); });
        createControl({200 + i, ControlKind::Label, sign.description, 50, 20 * i + 2, 80, 30});
        ++i;
    }
    // Return away from the buttons means nothing here; the end of a played sign is not looked at
    // either.
    onPressed(createControl({kExit, ControlKind::PushButton, std::string(keytut::kExitCaption), 260,
                             200, 25, 15}),
              [this] { cancelled(); });
}

void punctuationScreen(App& app, const keytut::LessonState& opened) {
    PunctuationScreen screen(app, opened);
    screen.run();
}

}  // namespace keyview
