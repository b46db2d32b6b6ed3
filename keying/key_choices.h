// The Key setting of a port number: what can be the Morse key behind it on this machine, as a
// list for the learner to choose from. The machine is looked at elsewhere (platform/keys); this
// turns what was found into the list's entries, each with the device it stands for, written as
// --port's DEVICE ("/dev/ttyUSB0", "midi:/dev/snd/midiC1D0", "input:...", "keyboard", "sim:FILE").
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace keytut {

// What was found on the machine.
struct FoundSerialPort {
    std::string path;         // "/dev/ttyUSB0"
    std::string description;  // "FT232R USB UART"; "" when the system gives none
};
struct FoundMidiAdapter {
    std::string path;  // "/dev/snd/midiC1D0"
    std::string name;  // the sound card's name, "" when unknown
};
struct FoundKeys {
    std::vector<FoundSerialPort> serialPorts;
    std::vector<FoundMidiAdapter> midiAdapters;
    std::vector<std::string> inputDevices;  // "/dev/input/by-id/usb-...-event-kbd"
};

enum class KeyChoiceKind { NumberedPort, Serial, Midi, Input, Keyboard, Script };

struct KeyChoice {
    KeyChoiceKind kind = KeyChoiceKind::NumberedPort;
    std::string caption;  // what the list shows and the screen reader says
    std::string device;   // as --port's DEVICE; "" for the serial port the number names
};

inline const char* const kKeyboardChoiceCaption = "Keyboard and mouse";
inline const char* const kKeyScriptCaption = "Key script";

struct KeyChoiceList {
    std::vector<KeyChoice> choices;
    int chosen = 0;  // the entry of the device kept for the port
};

// The entries for port number `portText`, in this order: the serial port the number names when
// nothing else is chosen ("COM1: ttyS0"), the serial ports found ("ttyUSB0: FT232R USB UART"; the
// built-in ttyS ports without a description are left to the numbered entry), the MIDI adapters,
// the keyboard-type adapters, "Keyboard and mouse" and "Key script". `kept` is the device kept for
// the port ("" for none): a device that is not found now stays in the list, marked so, and is the
// chosen entry; a key script is the "Key script" entry.
KeyChoiceList keyChoices(const std::string& portText, const FoundKeys& found,
                         const std::string& kept);

// The device of `choice`; for a key script, the script `scriptFile` (none without a file name).
std::optional<std::string> chosenDevice(const KeyChoice& choice, const std::string& scriptFile);

// The file of a key script device ("sim:FILE"), "" for any other.
std::string scriptFileOf(const std::string& device);

// A device as kept or given: the shapes --port accepts. Bad values in a settings file are dropped.
bool validKeyDevice(const std::string& device);

// The port numbers whose key is chosen, overlaid by those given on the command line, which win.
std::map<std::string, std::string> portDevices(const std::map<std::string, std::string>& chosen,
                                               const std::map<std::string, std::string>& given);

}  // namespace keytut
