// The key screen, opened with the Key button of either main window: what the port number in the
// port box stands for, chosen from what is found on the machine (serial ports with their USB
// description, MIDI adapters, keyboard-type adapters, the keyboard and mouse, a key script).
// Earkey shows the choices as a list whose value the screen reader says at every change; Keyview
// shows them all in a list box. A choice applies at once, from the next decode screen, and is kept
// with the other settings; --port on the command line still wins for its run.
#pragma once

#include <functional>
#include <string>

#include "found_keys.h"
#include "key_screen.h"
#include "keying/key_choices.h"
#include "platform/ui/exercise_screen.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace keytut::keys {

inline const char* const kKeySettingTitle = "Key";

class KeySettingScreen : public ui::ExerciseScreen {
    Q_OBJECT
  public:
    // The key of port number `portText`; `find` looks at the machine (again on Refresh).
    KeySettingScreen(ui::App& app, std::string portText, std::function<FoundKeys()> find);

    // What the list offers now, and the entry chosen.
    const KeyChoiceList& choices() const { return list_; }
    int chosenIndex() const;

    // The controls, for tests.
    QWidget* keyList() const;
    QLineEdit* scriptBox() const { return scriptBox_; }
    QPushButton* refreshButton() const { return refreshButton_; }
    QPushButton* closeButton() const { return closeButton_; }
    QLabel* commandLineNote() const { return commandLineNote_; }

  private:
    void fill();
    void choose(int index);
    void scriptNamed();
    void refresh();

    std::string portText_;
    std::function<FoundKeys()> find_;
    KeyChoiceList list_;
    QComboBox* dropDown_ = nullptr;   // Earkey
    QListWidget* listBox_ = nullptr;  // Keyview
    QLineEdit* scriptBox_ = nullptr;
    QLabel* commandLineNote_ = nullptr;  // only when --port names this port
    QPushButton* refreshButton_ = nullptr;
    QPushButton* closeButton_ = nullptr;
};

// Opens the key screen of the port number in the main window's port box; an empty
// port box gives "No Comm Port Selected" instead.
void keySettingScreen(ui::App& app, const KeyScreenHooks& hooks,
                      const std::function<FoundKeys()>& find);

}  // namespace keytut::keys
