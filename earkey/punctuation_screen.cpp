#include "punctuation_screen.h"

#include <QMessageBox>

namespace earkey {

using namespace keytut;
using namespace keytut::ui;
using namespace earkey::punctuation;

PunctuationScreen::PunctuationScreen(App& app, const LessonState& opened)
    : ExerciseScreen(app, {std::string(kPunctuationTitle), kWidth, kHeight, DialogFont::SansSerif8,
                           FrameKind::Popup, nullptr}),
      lesson_(app.tutor, opened.text) {
    createControl({kHeading, ControlKind::Label, std::string(kPunctuationHeading), 10, 5, 230, 10});
    int i = 1;
    for (const SignButton& button : lesson_.buttons()) {
        QWidget* sign = createControl({kFirstSignButton - 1 + i, ControlKind::PushButton,
                                       button.earkeyCaption, 20, 20 * i, 80, 15,
                                       style::AlignCentre | (i == 1 ? style::DefaultButton : 0u)});
        onPressed(sign, [this, index = std::size_t(i - 1)] { lesson_.play(index); });
        ++i;
    }
}

void PunctuationScreen::showSign(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, qText(std::string(kPunctuationTitle)), qText(text),
                    QMessageBox::Ok, this);
    box.exec();
}

// Return away from the buttons: the sign last played is named in a message box.
void PunctuationScreen::returnPressed() {
    const std::string sign = lesson_.okMessage();
    showSign(sign);
    // Nothing played yet: the box was empty, so the first sign is played, later, as a press of
    // its button would be.
    if (sign.empty() && !ended())
        runLater([this] { lesson_.play(0); });
}

}  // namespace earkey
