#include "main_menu.h"

namespace earkey {

using namespace keytut::ui;
using namespace keytut::ui::menu;

std::string lessonCaption(const std::string& group, int i, int count) {
    if (i == count)
        return "Punctuation";
    if (i == count - 1)
        return "Numbers";
    std::string caption;
    for (char c : group) {
        caption += c;
        caption += ' ';
    }
    return caption;
}

MainMenu::MainMenu(App& app, ExerciseEntries entries)
    : MenuWindow(app, kMainMenuTitle, std::move(entries)) {
    const auto& groups = app.tutor.data.lessonGroups;
    const int n = groupCount();
    const int y = practiceY();
    for (int i = 1; i <= n; ++i) {
        createControl({100 + i, ControlKind::PushButton,
                       lessonCaption(groups[static_cast<std::size_t>(i - 1)], i, n), 20, 20 * i,
                       100, 14, i == 1 ? style::DefaultButton : 0u});
    }
    createControl({kLessonBox, ControlKind::GroupBox, "Lesson", 10, 10, 150, 22 * n});
    createControl({kThirtyWords, ControlKind::PushButton, "30 word test", 15, y, 80, 14});
    createControl({kQsos, ControlKind::PushButton, "Random Q S Ohs", 15, y + 18, 80, 14});
    createControl({kMessage, ControlKind::PushButton, "Type a Message", 140, y, 80, 14});
    createControl({kFile, ControlKind::PushButton, "Send a File", 140, y + 18, 80, 14});
    createControl({kStraightKey, ControlKind::PushButton, "Straight Key Send", 265, y, 80, 14});
    createControl({kPaddleKey, ControlKind::PushButton, "Paddle Key Send", 265, y + 18, 80, 14});
    createControl({kPracticeBox, ControlKind::GroupBox, "Practice", 10, y - 12, 350, 55});
    createControl({kKochTrainer, ControlKind::PushButton, "Koch Trainer", 15, progressY(), 80, 14});
    createControl({kProgress, ControlKind::PushButton, "Progress", 140, progressY(), 80, 14});
    createSettings();
    colourControls();
    fitToControls();
}

void MainMenu::initialise() {
    MenuWindow::initialise();
    // Where the screen reader starts; without lesson buttons, the first control that takes
    // the focus.
    if (control(kFirstLessonButton))
        focus(kFirstLessonButton);
}

}  // namespace earkey
