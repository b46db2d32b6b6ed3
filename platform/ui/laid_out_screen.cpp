#include "laid_out_screen.h"

#include "spoken_box.h"

namespace keytut::ui {

LaidOutScreen::LaidOutScreen(App& app, const ScreenLayout& layout)
    : ExerciseScreen(app, layout.screen) {
    for (const ControlSpec& spec : layout.controls)
        createControl(spec);
    for (const auto& [id, name] : layout.names)
        if (QWidget* named = control(id))
            nameForScreenReader(named, QString::fromStdString(name));
    for (const auto& [label, named] : layout.labels)
        labelControl(label, named);
    onButton(layout.exitButton, [this] { cancelled(); });
    setOpeningFocus(layout.openingFocus);
}

void LaidOutScreen::onButton(int id, std::function<void()> action) {
    if (QWidget* button = id ? control(id) : nullptr)
        onPressed(button, std::move(action));
}

}  // namespace keytut::ui
