#include "file_screen.h"

#include <QApplication>
#include <QListWidget>

namespace keytut::ui {

FileLayout sendFileLayout(unsigned nameBoxStyle, unsigned listStyle,
                          std::vector<ControlSpec> between) {
    using namespace file_ids;
    FileLayout layout;
    layout.screen = {std::string(kSendFileCaption), 290, 260, DialogFont::Courier8,
                     FrameKind::Popup};
    layout.controls = {
        {kNameLabel, ControlKind::Label, std::string(kSendFileLabel), 20, 6, 20, 12,
         style::AlignRight},
        {kNameBox, ControlKind::Edit, "", 42, 5, 50, 12, nameBoxStyle},
    };
    layout.controls.insert(layout.controls.end(), between.begin(), between.end());
    layout.controls.push_back(
        {kList, ControlKind::ListBox, "", 5, 25, 270, 240, style::ScrollBarAlways | listStyle});
    layout.openingFocus = kNameBox;
    layout.nameBox = kNameBox;
    layout.list = kList;
    return layout;
}

FileScreen::FileScreen(App& app, const FileLayout& layout)
    : LaidOutScreen(app, layout),
      layout_(layout),
      nameBox_(control(layout.nameBox)),
      list_(controlAs<QListWidget>(layout.list)),
      sending_(layout.linesInView) {
    onButton(layout_.startButton, [this] { startFile(); });
    if (layout_.startKey)
        setKeyTable({{layout_.startKey, Qt::NoModifier, [this] { startFile(); }}});
}

void FileScreen::show(const FileUpdate& update) {
    if (!update.acted)
        return;
    if (update.beep) {
        ++beeps_;
        QApplication::beep();
    }
    if (update.addLine)
        addItem(list_, *update.addLine);
    if (update.topIndex)
        setTopIndex(list_, *update.topIndex);
    if (update.send)
        app().tutor.sender.play(*update.send, whenSent());
    if (update.finished && layout_.readBackAtEnd) {
        setCurrentItem(list_, firstLineOfFile_);
        focus(list_);
    }
    if (update.message)
        app().messages.showMessage(*update.message);
}

void FileScreen::startFile() {
    const int listed = list_ ? list_->count() : 0;
    FileUpdate update = sending_.start(app().dataFolder(), text(nameBox_));
    if (update.send || update.finished)
        firstLineOfFile_ = listed;
    show(update);
}

void FileScreen::cancelled() {
    sending_.close();
    app().tutor.sender.stop();
    endScreen();
}

void FileScreen::sendDone() {
    show(sending_.lineSent());
}

}  // namespace keytut::ui
