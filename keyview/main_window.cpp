#include "main_window.h"

namespace keyview {

using namespace keytut::ui;
using namespace keytut::ui::menu;

MainWindow::MainWindow(App& app, ExerciseEntries entries)
    : MenuWindow(app, kMainWindowTitle, std::move(entries)) {
    const auto& groups = app.tutor.data.lessonGroups;
    const int n = groupCount();
    const int y = practiceY();
    for (int i = 1; i <= n; ++i) {
        createControl(
            {100 + i, ControlKind::PushButton, "&" + std::to_string(i), 20, 20 * i, 20, 14});
        createControl({210 + i, ControlKind::Label, groups[static_cast<std::size_t>(i - 1)], 45,
                       20 * i + 2, 80, 10});
    }
    createControl({kLessonBox, ControlKind::GroupBox, "Lesson", 10, 10, 150, 22 * n});
    createControl({kThirtyWords, ControlKind::PushButton, "&Words", 15, y, 35, 14});
    createControl({201, ControlKind::Label, "Send 30 words", 55, y + 2, 60, 10});
    createControl({kQsos, ControlKind::PushButton, "&QSOs", 15, y + 18, 35, 14});
    createControl({202, ControlKind::Label, "Send QSOs", 55, y + 20, 60, 10});
    createControl({kMessage, ControlKind::PushButton, "&Message", 140, y, 35, 14});
    createControl({203, ControlKind::Label, "Type a message", 180, y + 2, 60, 10});
    createControl({kFile, ControlKind::PushButton, "&File", 140, y + 18, 35, 14});
    createControl({204, ControlKind::Label, "Send a file", 180, y + 20, 60, 10});
    createControl({kStraightKey, ControlKind::PushButton, "&Send", 265, y, 35, 14});
    createControl({209, ControlKind::Label, "Straight Key", 305, y + 2, 40, 10});
    createControl({kPaddleKey, ControlKind::PushButton, "S&end", 265, y + 18, 35, 14});
    createControl({210, ControlKind::Label, "Paddle Key", 305, y + 20, 40, 10});
    createControl({kPracticeBox, ControlKind::GroupBox, "Practice", 10, y - 12, 350, 55});
    createControl(
        {kKochTrainer, ControlKind::PushButton, "K&och Trainer", 15, progressY(), 60, 14});
    createControl({kProgress, ControlKind::PushButton, "P&rogress", 140, progressY(), 60, 14});
    createSettings();
    colourControls();
    fitToControls();
}

}  // namespace keyview
