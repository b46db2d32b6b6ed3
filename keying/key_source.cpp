#include "key_source.h"

namespace keytut {

std::string cantOpenPortMessage(const std::string& portText) {
    return "Can't open port " + portText;
}

KeyPortChoice resolveKeyPort(const std::string& portText,
                             const std::map<std::string, std::string>& portDevices) {
    if (portText.empty())
        return {};
    if (auto it = portDevices.find(portText); it != portDevices.end()) {
        const std::string& device = it->second;
        if (device == "keyboard")
            return {KeyPortChoice::Kind::Keyboard, ""};
        if (device.rfind("sim:", 0) == 0)
            return {KeyPortChoice::Kind::Simulated, device.substr(4)};
        if (device.rfind("midi:", 0) == 0)
            return {KeyPortChoice::Kind::Midi, device.substr(5)};
        if (device.rfind("input:", 0) == 0)
            return {KeyPortChoice::Kind::Input, device.substr(6)};
        return {KeyPortChoice::Kind::Serial, device};
    }
    bool number = portText.size() <= 6 && portText[0] >= '1' && portText[0] <= '9';
    for (char c : portText)
        number = number && c >= '0' && c <= '9';
    if (!number)
        return {KeyPortChoice::Kind::Serial, ""};  // no such device
    return {KeyPortChoice::Kind::Serial, "/dev/ttyS" + std::to_string(std::stol(portText) - 1)};
}

}  // namespace keytut
