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

MainMenu::MainMenu(App& app, ExerciseOpeners openers, std::vector<ExerciseButton> registry)
    : MenuWindow(app, kMainMenuTitle, {&ExerciseButton::earkeyCaption, 80, false},
                 std::move(openers), std::move(registry)) {
    const auto& groups = app.tutor.data.lessonGroups;
    const int n = groupCount();
    for (int i = 1; i <= n; ++i) {
        auto* button = createControl({100 + i, ControlKind::PushButton,
                                      lessonCaption(groups[static_cast<std::size_t>(i - 1)], i, n),
                                      20, 20 * i, 100, 14, i == 1 ? style::DefaultButton : 0u});
        onPressed(button, [this, i] { openLesson(i); });
        if (i == 1)
            firstLesson_ = button;
    }
    createGroups();
}

void MainMenu::initialise() {
    MenuWindow::initialise();
    // Where the screen reader starts; without lesson buttons, the first control that takes
    // the focus.
    if (firstLesson_)
        focus(firstLesson_);
}

}  // namespace earkey
