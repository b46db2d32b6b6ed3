#include "main_menu.h"

#include <QPushButton>

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

MainMenu::MainMenu(App& app, ExerciseOpeners openers, std::vector<ExerciseButton> registry)
    : MenuWindow(app, kMainMenuTitle, {&ExerciseButton::earkeyCaption, 80, false},
                 std::move(openers), std::move(registry)) {
    const auto& groups = app.tutor.data.lessonGroups;
    const int n = groupCount();
    for (int i = 1; i <= n; ++i) {
        auto* button = createControl({100 + i, ControlKind::PushButton,
                                      lessonCaption(groups[static_cast<std::size_t>(i - 1)], i, n),
                                      20, 20 * i, 100, 14, i == 1 ? style::DefaultButton : 0u});
        connect(static_cast<QPushButton*>(button), &QPushButton::clicked, this,
                [this, i] { openLesson(i); });
    }
    createGroups();
}

void MainMenu::initialise() {
    MenuWindow::initialise();
    // Where the screen reader starts; without lesson buttons, the first control that takes
    // the focus.
    if (control(kFirstLessonButton))
        focus(kFirstLessonButton);
}

}  // namespace earkey
