#include "main_window.h"

#include <QPushButton>

namespace keyview {

using namespace keytut::ui;

MainWindow::MainWindow(App& app, ExerciseOpeners openers, std::vector<ExerciseButton> registry)
    : MenuWindow(app, kMainWindowTitle, {&ExerciseButton::keyviewCaption, 35, true},
                 std::move(openers), std::move(registry)) {
    const auto& groups = app.tutor.data.lessonGroups;
    for (int i = 1; i <= groupCount(); ++i) {
        auto* button = createControl(
            {100 + i, ControlKind::PushButton, "&" + std::to_string(i), 20, 20 * i, 20, 14});
        connect(static_cast<QPushButton*>(button), &QPushButton::clicked, this,
                [this, i] { openLesson(i); });
        createControl({210 + i, ControlKind::Label, groups[static_cast<std::size_t>(i - 1)], 45,
                       20 * i + 2, 80, 10});
    }
    createGroups();
}

}  // namespace keyview
