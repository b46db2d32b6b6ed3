#include "key_port.h"

#include "input_key.h"
#include "keyboard_key.h"
#include "keying/sim_key.h"
#include "midi_key.h"
#include "serial_key.h"

namespace keytut::keys {

KeyPortResult openKeyPort(const std::string& portText, const KeyPortPlace& place) {
    static const std::map<std::string, std::string> none;
    const auto choice = resolveKeyPort(portText, place.portDevices ? *place.portDevices : none);
    switch (choice.kind) {
        case KeyPortChoice::Kind::None:
            return KeyPortError{kNoCommPortMessage};
        case KeyPortChoice::Kind::Keyboard:
            return std::unique_ptr<KeySource>(std::make_unique<KeyboardKey>(place.screen));
        case KeyPortChoice::Kind::Simulated:
            return openSimulatedKey(choice.device, portText, place.elapsedMs);
        case KeyPortChoice::Kind::Midi:
            return MidiKey::open(choice.device, portText, place.screen);
        case KeyPortChoice::Kind::Input:
            return InputKey::open(choice.device, portText, place.inputKeys);
        case KeyPortChoice::Kind::Serial:
            break;
    }
    return SerialKey::open(choice.device, portText);
}

}  // namespace keytut::keys
