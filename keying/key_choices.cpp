#include "key_choices.h"

#include <algorithm>

#include "key_source.h"

namespace keytut {

namespace {

std::string baseName(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool startsWith(const std::string& text, const std::string& prefix) {
    return text.rfind(prefix, 0) == 0;
}

bool endsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// "usb-Vail_Adapter_1234-event-kbd" reads as "Vail Adapter 1234".
std::string inputCaption(const std::string& path) {
    std::string name = baseName(path);
    if (endsWith(name, "-event-kbd"))
        name.resize(name.size() - 10);
    if (startsWith(name, "usb-"))
        name.erase(0, 4);
    std::replace(name.begin(), name.end(), '_', ' ');
    return "Keyboard-type adapter " + name;
}

std::string midiCaption(const FoundMidiAdapter& adapter) {
    std::string caption = "MIDI adapter " + baseName(adapter.path);
    if (!adapter.name.empty())
        caption += ": " + adapter.name;
    return caption;
}

std::string serialCaption(const FoundSerialPort& port) {
    const std::string name = baseName(port.path);
    return port.description.empty() ? name : name + ": " + port.description;
}

}  // namespace

KeyChoiceList keyChoices(const std::string& portText, const FoundKeys& found,
                         const std::string& kept) {
    KeyChoiceList list;
    const KeyPortChoice numbered = resolveKeyPort(portText, {});
    list.choices.push_back({KeyChoiceKind::NumberedPort,
                            "COM" + portText + ": " +
                                (numbered.device.empty() ? std::string("no such serial port")
                                                         : baseName(numbered.device)),
                            ""});
    for (const auto& port : found.serialPorts) {
        // The built-in ports are the numbered entry's; a USB adapter has a description.
        if (startsWith(baseName(port.path), "ttyS") && port.description.empty())
            continue;
        list.choices.push_back({KeyChoiceKind::Serial, serialCaption(port), port.path});
    }
    for (const auto& adapter : found.midiAdapters)
        list.choices.push_back({KeyChoiceKind::Midi, midiCaption(adapter), "midi:" + adapter.path});
    for (const auto& device : found.inputDevices)
        list.choices.push_back({KeyChoiceKind::Input, inputCaption(device), "input:" + device});
    list.choices.push_back({KeyChoiceKind::Keyboard, kKeyboardChoiceCaption, "keyboard"});
    list.choices.push_back({KeyChoiceKind::Script, kKeyScriptCaption, ""});

    if (kept.empty())
        return list;
    if (startsWith(kept, "sim:")) {
        list.chosen = static_cast<int>(list.choices.size()) - 1;
        return list;
    }
    for (std::size_t i = 0; i < list.choices.size(); ++i) {
        if (list.choices[i].device == kept) {
            list.chosen = static_cast<int>(i);
            return list;
        }
    }
    // Kept but not here now (unplugged): it stays the learner's choice, and says so.
    KeyChoice missing;
    const KeyPortChoice where = resolveKeyPort("1", {{"1", kept}});
    switch (where.kind) {
        case KeyPortChoice::Kind::Midi:
            missing = {KeyChoiceKind::Midi, midiCaption({where.device, ""}), kept};
            break;
        case KeyPortChoice::Kind::Input:
            missing = {KeyChoiceKind::Input, inputCaption(where.device), kept};
            break;
        default:
            missing = {KeyChoiceKind::Serial, baseName(kept), kept};
            break;
    }
    missing.caption += " (not found now)";
    // Among its own kind, before "Keyboard and mouse".
    const auto before = list.choices.end() - 2;
    list.chosen = static_cast<int>(before - list.choices.begin());
    list.choices.insert(before, missing);
    return list;
}

std::optional<std::string> chosenDevice(const KeyChoice& choice, const std::string& scriptFile) {
    if (choice.kind != KeyChoiceKind::Script)
        return choice.device;
    if (scriptFile.empty())
        return std::nullopt;
    return "sim:" + scriptFile;
}

std::string scriptFileOf(const std::string& device) {
    return startsWith(device, "sim:") ? device.substr(4) : std::string();
}

bool validKeyDevice(const std::string& device) {
    if (device == "keyboard")
        return true;
    for (const char* prefix : {"sim:", "midi:", "input:"}) {
        if (startsWith(device, prefix))
            return device.size() > std::string(prefix).size();
    }
    return startsWith(device, "/") && device.size() > 1;
}

std::map<std::string, std::string> portDevices(const std::map<std::string, std::string>& chosen,
                                               const std::map<std::string, std::string>& given) {
    std::map<std::string, std::string> devices = chosen;
    for (const auto& [port, device] : given)
        devices[port] = device;
    return devices;
}

}  // namespace keytut
