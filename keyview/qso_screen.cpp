#include "qso_screen.h"

namespace keyview {

using namespace keytut;
using namespace keytut::ui;
using namespace keyview::qso;

QsoScreen::QsoScreen(App& app)
    : ExerciseScreen(app, {std::string(kKeyviewQsoCaption), kWidth, kHeight, DialogFont::Courier8,
                           FrameKind::Popup, nullptr}) {
    createControl({kStart, ControlKind::PushButton, "Start", 270, 200, 25, 15});
    createControl({kStop, ControlKind::PushButton, "Stop", 270, 220, 25, 15});
    createControl({kExit, ControlKind::PushButton, "Exit", 270, 240, 25, 15});
    createControl({kList, ControlKind::ListBox, "", 5, 2, 240, 260, style::NoTabStop});
    createControl(
        {kFileLabel, ControlKind::Label, std::string(kKeyviewQsoFileLabel), 260, 10, 50, 10});
    createControl({kFileList, ControlKind::DropDownList, "", 250, 20, 60, 50, style::NoTabStop});
    onPressed(control(kStart), [this] { show(runs_.start(this->app().tutor.random)); });
    onPressed(control(kStop), [this] { runs_.stop(); });
    onPressed(control(kExit), [this] { cancelled(); });
    // The file is loaded as soon as the learner moves to it in the open list, or chooses it.
    auto load = [this](int) {
        if (text(kFileList) != runs_.file().name)
            loadChosenFile();
    };
    onHighlighted(control(kFileList), load);
    onChosen(control(kFileList), load);
    setItems(kFileList, sortedQsoFiles(app.tutor.data.qsoFiles));
    setSelection(kFileList, 0);
    loadChosenFile();
}

void QsoScreen::loadChosenFile() {
    QsoLoad load = loadQsoFile(app().dataFolder(), text(kFileList));
    runs_.load(std::move(load.file));
    if (!load.message.empty())
        app().messages.showMessage(load.message);
}

void QsoScreen::show(const QsoRunUpdate& update) {
    if (!update.acted)
        return;
    if (update.addLine)
        addItem(kList, *update.addLine);
    if (update.topIndex)
        setTopIndex(kList, *update.topIndex);
    if (update.send)
        app().tutor.sender.play(*update.send, whenSent());
    // The next QSO begins once this update has been handled.
    if (update.restart)
        runLater([this] { show(runs_.restart(app().tutor.random)); });
}

void QsoScreen::cancelled() {
    app().tutor.sender.stop();
    endScreen();
}

void QsoScreen::sendDone() {
    show(runs_.lineSent());
}

}  // namespace keyview
