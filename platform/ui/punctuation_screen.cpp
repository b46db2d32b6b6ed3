#include "punctuation_screen.h"

#include <QMessageBox>

namespace keytut::ui {

PunctuationLayout headedPunctuationLayout(const LessonState& opened, const SignRow& row) {
    using namespace punctuation_ids;
    PunctuationLayout layout;
    layout.screen = {std::string(kPunctuationTitle), 300, 220, DialogFont::SansSerif8,
                     FrameKind::Popup};
    layout.controls = {
        {kHeading, ControlKind::Label, std::string(kPunctuationHeading), 10, 5, 230, 10}};
    int button = kFirstSignButton;
    for (const SignButton& sign : signButtons(opened.text)) {
        for (ControlSpec& control : row(sign, button, 20 * (button - kFirstSignButton + 1)))
            layout.controls.push_back(std::move(control));
        ++button;
    }
    layout.firstSignButton = kFirstSignButton;
    return layout;
}

PunctuationScreen::PunctuationScreen(App& app, const PunctuationLayout& layout,
                                     const LessonState& opened)
    : LaidOutScreen(app, layout), layout_(layout), lesson_(app.tutor, opened.text) {
    for (std::size_t i = 0; i < lesson_.buttons().size(); ++i)
        onButton(layout_.firstSignButton + static_cast<int>(i), [this, i] { lesson_.play(i); });
}

void PunctuationScreen::showSign(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, qText(layout_.screen.title), qText(text), QMessageBox::Ok,
                    this);
    box.exec();
}

// The end of a played sign is not looked at.
void PunctuationScreen::returnPressed() {
    if (!layout_.returnNamesSign)
        return;
    const std::string sign = lesson_.okMessage();
    showSign(sign);
    // Nothing played yet: the box was empty, so the first sign is played, later, as a press of
    // its button would be.
    if (sign.empty() && !ended())
        runLater([this] { lesson_.play(0); });
}

}  // namespace keytut::ui
