#include "menu_window.h"

#include <QLineEdit>
#include <algorithm>

#include "keying/key_source.h"
#include "tone_screen.h"

namespace keytut::ui {

using namespace menu;

std::string speedRuleNote(const SpeedSettings& before, const SpeedSettings& after) {
    auto wpm = [](int index) { return std::string(speedChoices[static_cast<std::size_t>(index)]); };
    if (after.wordIndex < before.wordIndex && after.charIndex != before.charIndex)
        return "Word speed lowered to " + wpm(after.wordIndex);
    if (after.charIndex > before.charIndex && after.wordIndex != before.wordIndex)
        return "Character speed raised to " + wpm(after.charIndex);
    return {};
}

MenuWindow::MenuWindow(App& app, const std::string& title, ExerciseEntries entries)
    : Screen({title, kWidth, kHeight, DialogFont::SansSerif8, FrameKind::MainWindow, nullptr}),
      app_(app),
      entries_(std::move(entries)) {}

void MenuWindow::createSettings() {
    createControl(
        {kSettingsBox, ControlKind::GroupBox, "Set Speeds and Com port", 220, 10, 140, 132});
    createControl({kCharacterSpeedLabel, ControlKind::Label, "&Character Speed:", 225, 32, 60, 10,
                   style::AlignRight});
    createControl({kCharacterSpeed, ControlKind::DropDownList, "", 290, 30, 30, 80});
    createControl(
        {kWordSpeedLabel, ControlKind::Label, "Word &Speed:", 225, 68, 60, 10, style::AlignRight});
    createControl({kWordSpeed, ControlKind::DropDownList, "", 290, 66, 30, 80});
    createControl(
        {kPortLabel, ControlKind::Label, "Comm &Port:", 225, 108, 60, 10, style::AlignRight});
    createControl(
        {kPort, ControlKind::Edit, "", 290, 108, 10, 10, style::DigitsOnly | style::Border});
    // The pitch and edges of the tone, on a screen of their own.
    createControl({kTone, ControlKind::PushButton, "&Tone", 290, 124, 40, 14});
    const std::vector<std::string> choices(speedChoices.begin(), speedChoices.end());
    setItems(kCharacterSpeed, choices);
    setItems(kWordSpeed, choices);
    if (auto* port = controlAs<QLineEdit>(kPort)) {
        // No more digits than a port number has ("COM1" to "COM999").
        port->setMaxLength(static_cast<int>(kMaxPortDigits));
        // Kept as it is typed, as the speeds are when chosen.
        QObject::connect(port, &QLineEdit::textEdited, this, [this] {
            app_.portText = text(kPort);
            app_.keepSettings();
        });
    }
}

void MenuWindow::colourControls() {
    setWindowColours(Qt::black, kScreenBackground);
    const int last = groupCount() + 210;
    for (int id : controlIds()) {
        if (id >= 199 && id <= last)
            setColours(id, Qt::black, kScreenBackground);
    }
}

void MenuWindow::fitToControls() {
    int right = kWidth;
    int bottom = kHeight;
    for (int id : controlIds()) {
        const ControlSpec* spec = specOf(id);
        // A drop-down list's height is that of its open list.
        const int height = spec->kind == ControlKind::DropDownList ? 14 : spec->height;
        right = std::max(right, spec->x + spec->width + 10);
        bottom = std::max(bottom, spec->y + height + 10);
    }
    if (right != kWidth || bottom != kHeight)
        resizeClient(right, bottom);
    // The window may grow, but not shrink until its controls are hidden.
    setMinimumSize(size());
}

void MenuWindow::initialise() {
    showSpeeds();
    setText(kPort, app_.portText);
}

void MenuWindow::showSpeeds() {
    setSelection(kCharacterSpeed, app_.tutor.speeds.charIndex);
    setSelection(kWordSpeed, app_.tutor.speeds.wordIndex);
}

void MenuWindow::command(int id, int notification) {
    // One exercise at a time, and one press one exercise: a press that reaches the window while
    // an exercise it started is still open (its screen, or the message box of a port that cannot
    // be opened) starts nothing more.
    auto call = [this](const std::function<void()>& entry) {
        if (!entry || exerciseOpen_)
            return;
        exerciseOpen_ = true;
        entry();
        exerciseOpen_ = false;
    };
    Tutor& tutor = app_.tutor;
    const int choices = static_cast<int>(speedChoices.size());
    if (id > 100 && id <= 100 + groupCount()) {
        if (entries_.lesson)
            call([this, id] { entries_.lesson(id - 100); });
        return;
    }
    switch (id) {
        case kThirtyWords:
            call(entries_.thirtyWordTest);
            break;
        case kQsos:
            call(entries_.qsoPractice);
            break;
        case kMessage:
            call(entries_.messageSending);
            break;
        case kFile:
            call(entries_.fileSending);
            break;
        case kCharacterSpeed:
        case kWordSpeed: {
            if (notification != CBN_SELENDOK)
                break;
            const int index = selection(id);
            if (index < 0 || index >= choices)
                break;
            const SpeedSettings before = tutor.speeds;
            if (id == kCharacterSpeed) {
                tutor.speeds.chooseCharacterSpeed(index, tutor.timing);
            } else {
                tutor.speeds.chooseWordSpeed(index, tutor.timing);
            }
            // Both lists show what the element lengths now hold; the learner hears the other
            // list follow, which they cannot see.
            showSpeeds();
            noteChange(speedRuleNote(before, tutor.speeds));
            app_.keepSettings();
            break;
        }
        case kTone:
            call([this] { toneScreen(app_); });
            break;
        case kKochTrainer:
            call(entries_.kochTrainer);
            break;
        case kProgress:
            call(entries_.progress);
            break;
        case kStraightKey:
            if (exerciseOpen_)
                break;
            tutor.commPortText = text(kPort);
            call(entries_.straightKeyDecoding);
            break;
        case kPaddleKey:
            if (exerciseOpen_)
                break;
            tutor.commPortText = text(kPort);
            tutor.workText = text(kCharacterSpeed);
            call(entries_.paddleKeyDecoding);
            break;
        case kCancelCommand:
            app_.portText = text(kPort);
            endScreen();
            break;
        default:
            break;
    }
}

}  // namespace keytut::ui
