#include "key_setting_screen.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "keying/key_source.h"

namespace keytut::keys {

namespace {

constexpr int kKeyLabel = 100;
constexpr int kKeyList = 101;
constexpr int kScriptLabel = 102;
constexpr int kScriptBox = 103;
constexpr int kCommandLineNote = 104;
constexpr int kRefresh = 105;
constexpr int kClose = 106;
constexpr int kWidth = 220;

}  // namespace

KeySettingScreen::KeySettingScreen(ui::App& app, std::string portText,
                                   std::function<FoundKeys()> find)
    : ExerciseScreen(app, {kKeySettingTitle, kWidth, 100, ui::DialogFont::SansSerif8,
                           app.tutor.profile.style.keyboardOnly ? ui::FrameKind::Popup
                                                                : ui::FrameKind::Closable,
                           nullptr}),
      portText_(std::move(portText)),
      find_(std::move(find)) {
    using ui::ControlKind;
    const bool keyboardOnly = app.tutor.profile.style.keyboardOnly;
    createControl(
        {kKeyLabel, ControlKind::Label, "&Key for Comm Port " + portText_ + ":", 5, 6, 210, 10});
    // Earkey: one line whose value is said at each change; Keyview: every choice in sight.
    const int listHeight = keyboardOnly ? 80 : 56;
    QWidget* list =
        createControl({kKeyList, keyboardOnly ? ControlKind::DropDownList : ControlKind::ListBox,
                       "", 5, 18, 210, listHeight, ui::style::Selectable});
    labelControl(kKeyLabel, kKeyList);
    int y = keyboardOnly ? 38 : 80;
    createControl({kScriptLabel, ControlKind::Label, "Script &file:", 5, y + 2, 45, 10,
                   ui::style::AlignRight});
    scriptBox_ = createControlAs<QLineEdit>({kScriptBox, ControlKind::Edit, "", 55, y, 160, 12});
    labelControl(kScriptLabel, kScriptBox);
    y += 20;
    if (const std::string given = app.portDevice(portText_); !given.empty()) {
        commandLineNote_ =
            createControlAs<QLabel>({kCommandLineNote, ControlKind::Label,
                                     "For this run the command line makes port " + portText_ + " " +
                                         given + "; the choice here is kept for the next runs.",
                                     5, y, 210, 20, ui::style::TabStop});
        y += 24;
    }
    refreshButton_ = createControlAs<QPushButton>(
        {kRefresh, ControlKind::PushButton, "&Refresh", 40, y, 60, 14});
    closeButton_ = createControlAs<QPushButton>(
        {kClose, ControlKind::PushButton, "Close", 120, y, 60, 14, ui::style::DefaultButton});
    resizeClient(kWidth, y + 20);

    dropDown_ = qobject_cast<QComboBox*>(list);
    listBox_ = qobject_cast<QListWidget*>(list);
    // A list box is not named by its label's buddy relation as a drop-down list is.
    if (listBox_)
        listBox_->setAccessibleName(ui::qText("Key for Comm Port " + portText_ + ":"));
    scriptBox_->setText(ui::qText(scriptFileOf(app.settings().keyOf(portText_))));
    fill();
    if (dropDown_) {
        connect(dropDown_, &QComboBox::activated, this, [this](int index) { choose(index); });
    } else {
        connect(listBox_, &QListWidget::currentRowChanged, this, [this](int row) { choose(row); });
    }
    connect(scriptBox_, &QLineEdit::textEdited, this, [this] { scriptNamed(); });
    connect(refreshButton_, &QPushButton::clicked, this, [this] { refresh(); });
    connect(closeButton_, &QPushButton::clicked, this, [this] { endScreen(); });
    setOpeningFocus(kKeyList);
}

QWidget* KeySettingScreen::keyList() const {
    return dropDown_ ? static_cast<QWidget*>(dropDown_) : listBox_;
}

int KeySettingScreen::chosenIndex() const {
    return dropDown_ ? dropDown_->currentIndex() : listBox_->currentRow();
}

void KeySettingScreen::fill() {
    list_ = keyChoices(portText_, find_ ? find_() : FoundKeys{}, app().settings().keyOf(portText_));
    std::vector<std::string> captions;
    for (const auto& choice : list_.choices)
        captions.push_back(choice.caption);
    if (listBox_) {
        const QSignalBlocker quiet(listBox_);
        listBox_->clear();
    }
    setItems(keyList(), captions);
    setSelection(keyList(), list_.chosen);
}

void KeySettingScreen::choose(int index) {
    if (index < 0 || index >= static_cast<int>(list_.choices.size()))
        return;
    const KeyChoice& choice = list_.choices[static_cast<std::size_t>(index)];
    const auto device = chosenDevice(choice, ui::stdText(scriptBox_->text()));
    if (choice.kind == KeyChoiceKind::NumberedPort) {
        app().settings().setKey(portText_, "");
    } else if (device) {
        app().settings().setKey(portText_, *device);
    }
    // A key script without a file name changes nothing until the file is named.
    app().keepSettings();
}

void KeySettingScreen::scriptNamed() {
    const int index = chosenIndex();
    if (index >= 0 && list_.choices[static_cast<std::size_t>(index)].kind == KeyChoiceKind::Script)
        choose(index);
}

void KeySettingScreen::refresh() {
    // What was just plugged in shows; the choice stays.
    fill();
    focus(keyList());
}

void keySettingScreen(ui::App& app, const KeyScreenHooks& hooks,
                      const std::function<FoundKeys()>& find) {
    const std::string portText = app.settings().port();
    if (portText.empty()) {
        if (hooks.messageBox)
            hooks.messageBox(kCommPortErrorTitle, kNoCommPortMessage, true);
        return;
    }
    KeySettingScreen screen(app, portText, find);
    screen.run();
}

}  // namespace keytut::keys
