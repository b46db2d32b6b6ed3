#include "qso_screen.h"

#include <QComboBox>
#include <QListWidget>

namespace keytut::ui {

QsoScreen::QsoScreen(App& app, const QsoLayout& layout)
    : LaidOutScreen(app, layout),
      layout_(layout),
      fileList_(control(layout.fileList)),
      lineBox_(control(layout.lineBox)),
      list_(controlAs<QListWidget>(layout.list)) {
    if (layout_.practice == QsoPractice::Runs) {
        QsoRuns& runs = practice_.emplace<QsoRuns>();
        onButton(layout_.startButton,
                 [this, &runs] { show(runs.start(this->app().tutor.random)); });
        onButton(layout_.stopButton, [&runs] { runs.stop(); });
    } else {
        WholeQsos& qsos = std::get<WholeQsos>(practice_);
        setColours(lineBox_, Qt::black, Qt::white);
        std::vector<KeyBinding> keys = {
            {Qt::Key_Up, Qt::ControlModifier, [this, &qsos] { show(qsos.lineUp()); }},
            {Qt::Key_Down, Qt::ControlModifier, [this, &qsos] { show(qsos.lineDown()); }},
        };
        if (layout_.sendKey)
            keys.push_back({layout_.sendKey, Qt::NoModifier,
                            [this, &qsos] { show(qsos.sendQso(this->app().tutor.random)); }});
        setKeyTable(std::move(keys));
    }
    auto load = [this](int) {
        if (text(fileList_) != loadedFile().name)
            loadChosenFile();
    };
    if (qobject_cast<QComboBox*>(fileList_)) {
        onHighlighted(fileList_, load);
        onChosen(fileList_, load);
    } else {
        onMoved(fileList_, load);
    }
    setItems(fileList_, sortedQsoFiles(app.tutor.data.qsoFiles));
    setSelection(fileList_, 0);
    loadChosenFile();
}

void QsoScreen::initialise() {
    // The opening focus, unless a fault of the first file is being spoken in the line box.
    if (!focusIsOn(lineBox_))
        LaidOutScreen::initialise();
}

const QsoFile& QsoScreen::loadedFile() const {
    return std::visit([](const auto& practice) -> const QsoFile& { return practice.file(); },
                      practice_);
}

void QsoScreen::loadChosenFile() {
    QsoLoad load = loadQsoFile(app().dataFolder(), text(fileList_));
    std::visit([&load](auto& practice) { practice.load(std::move(load.file)); }, practice_);
    if (load.message.empty())
        return;
    if (lineBox_) {
        Change change;
        change.text(lineBox_, load.message);
        change.speak = lineBox_;
        apply(change);
    } else {
        app().messages.showMessage(load.message);
    }
}

void QsoScreen::show(const QsoUpdate& update) {
    if (!update.acted)
        return;
    if (update.send)
        app().tutor.sender.play(*update.send, whenSent());
    Change change;
    change.text(lineBox_, update.lineBox);
    if (update.focusLineBox)
        change.focus = lineBox_;
    if (update.speakLineBox)
        change.speak = lineBox_;
    apply(change);
}

void QsoScreen::show(const QsoRunUpdate& update) {
    if (!update.acted)
        return;
    if (update.addLine)
        addItem(list_, *update.addLine);
    if (update.topIndex)
        setTopIndex(list_, *update.topIndex);
    if (update.send)
        app().tutor.sender.play(*update.send, whenSent());
    // The next run begins once this update has been handled.
    if (update.restart)
        runLater([this] { show(std::get<QsoRuns>(practice_).restart(app().tutor.random)); });
}

void QsoScreen::cancelled() {
    app().tutor.sender.stop();
    endScreen();
}

void QsoScreen::sendDone() {
    if (auto* runs = std::get_if<QsoRuns>(&practice_))
        show(runs->lineSent());
    else
        show(std::get<WholeQsos>(practice_).sendDone());
}

}  // namespace keytut::ui
