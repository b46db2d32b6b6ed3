#include "punctuation_screen.h"

#include <QMessageBox>

namespace earkey {

using namespace keytut;
using namespace keytut::ui;
using namespace earkey::punctuation;

namespace {
// A command posted to the screen itself, as a button press arrives later.
constexpr int kCommandMessage = 0x0111;
}  // namespace

PunctuationScreen::PunctuationScreen(App& app, const LessonState& opened)
    : ExerciseScreen(app, {std::string(kPunctuationTitle), kWidth, kHeight, DialogFont::SansSerif8,
                           FrameKind::Popup, nullptr}),
      lesson_(app.tutor, opened.text) {
    createControl({kHeading, ControlKind::Label, std::string(kPunctuationHeading), 10, 5, 230, 10});
    int i = 1;
    for (const SignButton& button : lesson_.buttons()) {
        createControl({kFirstSignCommand - 1 + i, ControlKind::PushButton, button.earkeyCaption, 20,
                       20 * i, 80, 15, style::AlignCentre | (i == 1 ? style::DefaultButton : 0u)});
        ++i;
    }
}

void PunctuationScreen::showSign(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, qText(std::string(kPunctuationTitle)), qText(text),
                    QMessageBox::Ok, this);
    box.exec();
}

void PunctuationScreen::command(int id, int) {
    if (id == kCancelCommand) {
        endScreen();
    } else if (id == kOkCommand) {
        const std::string sign = lesson_.okMessage();
        showSign(sign);
        // Nothing played yet: the box was empty, so the first sign is played.
        if (sign.empty() && !ended())
            handle()->post(kCommandMessage, kFirstSignCommand, 0);
    } else if (id >= kFirstSignCommand && id < kFirstSignCommand + kMaxSignButtons) {
        lesson_.command(id);
    }
}

void PunctuationScreen::otherMessage(int message, std::intptr_t wParam, std::intptr_t) {
    if (message == kCommandMessage)
        command(static_cast<int>(wParam), BN_CLICKED);
}

}  // namespace earkey
