// Opening the key of a decode screen from the port setting as typed: a serial device, the
// keyboard and mouse, a MIDI or a keyboard-type key adapter, or a key script (see
// keying/key_source.h for the choice).
#pragma once

#include <QWidget>
#include <functional>
#include <map>
#include <string>

#include "keying/input_keys.h"
#include "keying/key_source.h"

namespace keytut::keys {

struct KeyPortPlace {
    // --port N=DEVICE of the command line.
    const std::map<std::string, std::string>* portDevices = nullptr;
    // The decode screen, whose keys and mouse buttons key when the setting says "keyboard".
    QWidget* screen = nullptr;
    // The time since the opening, for a key script; the screens count it in side-tone ticks so
    // that a script plays the same however busy the program is.
    std::function<std::int64_t()> elapsedMs;
    // The keys of a keyboard-type adapter (input:DEVICE).
    InputKeys inputKeys = defaultInputKeys();
};

// "No Comm Port Selected" for an empty setting, "Can't open port " + the setting for a device
// that cannot be had; the messages go in a box titled kCommPortErrorTitle.
KeyPortResult openKeyPort(const std::string& portText, const KeyPortPlace& place);

}  // namespace keytut::keys
