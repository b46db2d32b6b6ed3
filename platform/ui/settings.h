// The learner's settings, one owner for all of them: the speeds, the port box's text, the tone,
// the keyer's mode, the adapter's keys and the key chosen for each port number. The main window and
// the setting screens change them here, and every screen reads them here: the key screens take the
// port and the paddle's speed as they stand when they open, never a copy made by the window that
// opened them.
#pragma once

#include <map>
#include <string>

#include "core/tutor.h"
#include "kept_settings.h"
#include "keying/input_keys.h"
#include "keying/keyer_modes.h"

namespace keytut::ui {

class Settings {
  public:
    // The speeds and the tone are the ones the tutor's sender plays with.
    explicit Settings(Tutor& tutor) : tutor_(tutor) {}

    const SpeedSettings& speeds() const { return tutor_.speeds; }
    // A choice of one list (an index into speedChoices), with the rule that the word speed is
    // never above the character speed; out-of-range indices change nothing.
    void chooseCharacterSpeed(int index);
    void chooseWordSpeed(int index);
    // The character speed as the main window's list shows it ("12"): the paddle keyer's speed.
    std::string characterSpeedText() const;

    // The port box's text as typed ("1", "" or up to three digits).
    const std::string& port() const { return port_; }
    void setPort(std::string port) { port_ = std::move(port); }

    const ToneSettings& tone() const { return tutor_.tone.settings(); }
    // A pitch that is not offered is refused with std::invalid_argument.
    void setTone(const ToneSettings& tone) { tutor_.setTone(tone); }

    KeyerMode keyerMode() const { return keyerMode_; }
    void setKeyerMode(KeyerMode mode) { keyerMode_ = mode; }
    const InputKeys& inputKeys() const { return inputKeys_; }
    void setInputKeys(const InputKeys& keys) { inputKeys_ = keys; }

    // The key chosen on the Key screen for a port number as typed ("1" -> "keyboard", as
    // --port's DEVICE); a number without one is the serial port it names. --port still wins.
    const std::map<std::string, std::string>& keys() const { return keys_; }
    // The device chosen for `port`; "" for the serial port the number names.
    std::string keyOf(const std::string& port) const;
    // "" takes the port back to the serial port its number names.
    void setKey(const std::string& port, const std::string& device);

    // Everything as it stands, to be kept for the next run; take() restores it.
    KeptSettings kept() const;
    void take(const KeptSettings& kept);

  private:
    Tutor& tutor_;
    std::string port_ = "1";
    KeyerMode keyerMode_ = KeyerMode::Plain;
    InputKeys inputKeys_ = defaultInputKeys();
    std::map<std::string, std::string> keys_;
};

}  // namespace keytut::ui
