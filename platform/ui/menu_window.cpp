#include "menu_window.h"

#include <QComboBox>
#include <QLineEdit>
#include <algorithm>

#include "keying/key_source.h"

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

MenuWindow::MenuWindow(App& app, const MenuLayout& layout, ExerciseOpeners openers,
                       std::vector<ExerciseButton> registry)
    : Screen(
          {layout.title, kWidth, kHeight, DialogFont::SansSerif8, FrameKind::MainWindow, nullptr}),
      app_(app),
      layout_(layout),
      openers_(std::move(openers)),
      registry_(std::move(registry)) {
    createLessons();
    createGroups();
}

void MenuWindow::createLessons() {
    const auto& groups = app_.tutor.data.lessonGroups;
    const int n = groupCount();
    for (int i = 1; i <= n; ++i) {
        const std::string& group = groups[static_cast<std::size_t>(i - 1)];
        const bool first = i == 1 && layout_.startOnFirstLesson;
        QWidget* button =
            createControl({kFirstLessonButton - 1 + i, ControlKind::PushButton,
                           layout_.lessonCaption(group, i, n), 20, 20 * i, layout_.lessonWidth, 14,
                           first ? style::DefaultButton : 0u});
        onPressed(button, [this, i] { openLesson(i); });
        if (first)
            firstLesson_ = button;
        if (layout_.groupsBeside)
            createControl({kFirstGroupLabel - 1 + i, ControlKind::Label, group,
                           25 + layout_.lessonWidth, 20 * i + 2, 80, 10});
    }
}

void MenuWindow::createGroups() {
    createControl({kLessonBox, ControlKind::GroupBox, "Lesson", 10, 10, 150, 22 * groupCount()});
    createPractice();
    createSettings();
    colourControls();
    fitToControls();
}

void MenuWindow::createPractice() {
    constexpr int kColumnWidth = 125;
    constexpr int kRowHeight = 18;
    int lastColumn = 2;
    int rows = 2;
    for (const ExerciseButton& button : registry_) {
        if (button.group == ButtonGroup::Practice) {
            lastColumn = std::max(lastColumn, button.column);
            rows = std::max(rows, button.row + 1);
        }
    }
    const int y = practiceY();
    for (const ExerciseButton& button : registry_) {
        if (button.group != ButtonGroup::Practice)
            continue;
        const int x = 15 + kColumnWidth * button.column;
        const int top = y + kRowHeight * button.row;
        QWidget* widget =
            createControl({button.id, ControlKind::PushButton, button.*layout_.caption, x, top,
                           layout_.practiceWidth, 14});
        onPressed(widget, [this, &button] { open(button); });
        if (layout_.descriptions && !button.description.empty()) {
            // Up to the next column, or to the group's edge for the last one.
            const int width = button.column == lastColumn ? 40 : 60;
            createControl({button.descriptionId, ControlKind::Label, button.description, x + 40,
                           top + 2, width, 10});
        }
    }
    createControl({kPracticeBox, ControlKind::GroupBox, "Practice", 10, y - 12,
                   350 + kColumnWidth * (lastColumn - 2), 19 + kRowHeight * rows});
}

void MenuWindow::createSettings() {
    createControl(
        {kSettingsBox, ControlKind::GroupBox, "Set Speeds and Com port", 220, 10, 140, 132});
    createControl({kCharacterSpeedLabel, ControlKind::Label, "&Character Speed:", 225, 32, 60, 10,
                   style::AlignRight});
    characterSpeed_ = createControlAs<QComboBox>(
        {kCharacterSpeed, ControlKind::DropDownList, "", 290, 30, 30, 80});
    createControl(
        {kWordSpeedLabel, ControlKind::Label, "Word &Speed:", 225, 68, 60, 10, style::AlignRight});
    wordSpeed_ =
        createControlAs<QComboBox>({kWordSpeed, ControlKind::DropDownList, "", 290, 66, 30, 80});
    createControl(
        {kPortLabel, ControlKind::Label, "Comm &Port:", 225, 108, 60, 10, style::AlignRight});
    port_ = createControlAs<QLineEdit>(
        {kPort, ControlKind::Edit, "", 290, 108, 10, 10, style::DigitsOnly | style::Border});
    for (const ExerciseButton& button : registry_) {
        if (button.group != ButtonGroup::Settings)
            continue;
        QWidget* widget =
            createControl({button.id, ControlKind::PushButton, button.*layout_.caption, button.x,
                           button.y, button.width, button.height});
        onPressed(widget, [this, &button] { open(button); });
    }
    const std::vector<std::string> choices(speedChoices.begin(), speedChoices.end());
    for (QComboBox* list : {characterSpeed_, wordSpeed_}) {
        setItems(list, choices);
        onChosen(list, [this, list](int index) { chooseSpeed(list, index); });
    }
    // No more digits than a port number has ("COM1" to "COM999").
    port_->setMaxLength(static_cast<int>(kMaxPortDigits));
    // Kept as it is typed, as the speeds are when chosen.
    QObject::connect(port_, &QLineEdit::textEdited, this, [this] {
        keepPort();
        app_.keepSettings();
    });
}

void MenuWindow::colourControls() {
    setWindowColours(Qt::black, kScreenBackground);
    for (int id : controlIds()) {
        const ControlKind kind = specOf(id)->kind;
        if (kind == ControlKind::Label || kind == ControlKind::GroupBox)
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
    port_->setText(qText(app_.settings().port()));
    // Where the screen reader starts; without lesson buttons, the first control that takes the
    // focus.
    if (firstLesson_)
        focus(firstLesson_);
}

void MenuWindow::showSpeeds() {
    setSelection(characterSpeed_, app_.settings().speeds().charIndex);
    setSelection(wordSpeed_, app_.settings().speeds().wordIndex);
}

void MenuWindow::open(const std::function<void()>& opener) {
    if (!opener || exerciseOpen_)
        return;
    // What the exercise reads is what the window shows.
    keepPort();
    exerciseOpen_ = true;
    opener();
    exerciseOpen_ = false;
}

void MenuWindow::open(const ExerciseButton& button) {
    if (button.open) {
        open([this, &button] { button.open(app_); });
    } else if (auto it = openers_.byName.find(button.name); it != openers_.byName.end()) {
        open(it->second);
    }
}

void MenuWindow::openLesson(int n) {
    if (openers_.lesson && n >= 1 && n <= groupCount())
        open([this, n] { openers_.lesson(n); });
}

void MenuWindow::chooseSpeed(QWidget* list, int index) {
    Settings& settings = app_.settings();
    const SpeedSettings before = settings.speeds();
    if (list == characterSpeed_) {
        settings.chooseCharacterSpeed(index);
    } else {
        settings.chooseWordSpeed(index);
    }
    // Both lists show what the element lengths now hold; the learner hears the other list
    // follow, which they cannot see.
    showSpeeds();
    noteChange(speedRuleNote(before, settings.speeds()));
    app_.keepSettings();
}

void MenuWindow::keepPort() {
    app_.settings().setPort(stdText(port_->text()));
}

void MenuWindow::cancelled() {
    keepPort();
    endScreen();
}

}  // namespace keytut::ui
