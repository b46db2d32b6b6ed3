#include "progress_screen.h"

#include <algorithm>

#include "exercises/edition_profiles.h"
#include "platform/ui/edition_screens.h"
#include "platform/ui/learner_progress.h"
#include "platform/ui/text.h"

namespace earkey {

using namespace keytut;
using namespace keytut::ui;
using namespace earkey::progress_screen;

ProgressScreen::ProgressScreen(App& app)
    : ExerciseScreen(app,
                     {kProgressTitle, 300, 30, DialogFont::Courier8, FrameKind::Popup, nullptr}),
      lines_(learnerReport(app).lines(characterNames(app))) {
    // Why nothing could be read, said first.
    if (progress::Store* store = app.progress(); store && store->fault()) {
        store->takeFaultNotice();
        lines_.insert(lines_.begin(), store->fault()->text());
    }
    lineBox_ = createControlAs<SpokenBox>({kLineBox, ControlKind::SpokenText, lines_.front(), 5, 9,
                                           290, 12, style::Border | style::TabStop});
    setColours(lineBox_, Qt::black, Qt::white);
    setKeyTable({
        {Qt::Key_Up, Qt::NoModifier, [this] { move(-1); }},
        {Qt::Key_Down, Qt::NoModifier, [this] { move(1); }},
        {Qt::Key_Return, Qt::NoModifier, [this] { endScreen(); }},
    });
    setOpeningFocus(kLineBox);
}

void ProgressScreen::move(int step) {
    // At either end the line there is said again, so that the learner knows where they are.
    line_ = std::clamp(line_ + step, 0, static_cast<int>(lines_.size()) - 1);
    speak(lineBox_, lines_[static_cast<std::size_t>(line_)]);
}

const EditionScreens kProgressScreen{kEarkeyProfile.name,
                                     opens<ProgressScreen>(exercise::kProgress)};

}  // namespace earkey
