#include "qso_screen.h"

#include "platform/ui/spoken_box.h"

namespace earkey {

using namespace keytut;
using namespace keytut::ui;
using namespace earkey::qso;

QsoScreen::QsoScreen(App& app)
    : ExerciseScreen(app, {std::string(kEarkeyQsoCaption), kWidth, kHeight, DialogFont::Courier8,
                           FrameKind::Popup, nullptr}) {
    createControl({kInstructions, ControlKind::Label, std::string(kEarkeyQsoInstructions), 5, 35,
                   200, 20, style::TabStop});
    createControl({kFileLabel, ControlKind::Label, std::string(kEarkeyQsoFileLabel), 20, 5, 50, 10,
                   style::AlignRight});
    // A list box rather than a drop-down list: Orca 43 says neither a Qt drop-down list's entry
    // when it gets the focus nor the new entry when Up or Down changes it, while it reads a list
    // box's lines as the cursor moves. Same place, as high as the drop-down list's open list.
    createControl({kFileList, ControlKind::ListBox, "", 80, 5, 60, 50, style::Selectable});
    // Qt names a list by its accessible name alone, not by the label that points to it.
    control(kFileList)->setAccessibleName(qText(std::string(kEarkeyQsoFileLabel)).remove('&'));
    createControl(
        {kLineBox, ControlKind::SpokenText, "", 5, 65, 300, 12, style::Border | style::TabStop});
    setColours(kLineBox, Qt::black, Qt::white);
    nameForScreenReader(control(kLineBox), kLineBoxName);
    setKeyTable({
        {Qt::Key_Up, Qt::ControlModifier, [this] { show(qsos_.lineUp()); }},
        {Qt::Key_Down, Qt::ControlModifier, [this] { show(qsos_.lineDown()); }},
        {Qt::Key_Return, Qt::NoModifier, [this] { show(qsos_.sendQso(this->app().tutor.random)); }},
    });
    // Plain Up and Down choose another file and load it at once.
    onMoved(control(kFileList), [this](int) {
        if (text(kFileList) != qsos_.file().name)
            loadChosenFile();
    });
    setItems(kFileList, sortedQsoFiles(app.tutor.data.qsoFiles));
    setSelection(kFileList, 0);
    loadChosenFile();
    setOpeningFocus(kFileList);
}

void QsoScreen::initialise() {
    // The file list has the focus when the window opens, unless a fault of its file is spoken.
    if (focusedId() != kLineBox)
        ExerciseScreen::initialise();
}

void QsoScreen::loadChosenFile() {
    QsoLoad load = loadQsoFile(app().dataFolder(), text(kFileList));
    qsos_.load(std::move(load.file));
    if (!load.message.empty()) {
        Change change;
        change.text(kLineBox, load.message);
        change.speak = kLineBox;
        apply(change);
    }
}

void QsoScreen::show(const QsoUpdate& update) {
    if (!update.acted)
        return;
    if (update.send)
        app().tutor.sender.play(*update.send, whenSent());
    Change change;
    change.text(kLineBox, update.lineBox);
    if (update.focusLineBox)
        change.focus = kLineBox;
    if (update.speakLineBox)
        change.speak = kLineBox;
    apply(change);
}

void QsoScreen::cancelled() {
    app().tutor.sender.stop();
    endScreen();
}

void QsoScreen::sendDone() {
    show(qsos_.sendDone());
}

}  // namespace earkey
