#include "found_keys.h"

#include <QSerialPortInfo>
#include <algorithm>
#include <fstream>
#include <regex>

namespace keytut::keys {

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> matching(const fs::path& folder, const std::regex& pattern) {
    std::vector<fs::path> found;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (std::regex_match(it->path().filename().string(), pattern))
            found.push_back(it->path());
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::string firstLine(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

}  // namespace

FoundKeys findKeys(const KeyPlaces& places) {
    FoundKeys found;
    if (places.serialPorts) {
        for (const QSerialPortInfo& port : QSerialPortInfo::availablePorts()) {
            found.serialPorts.push_back(
                {port.systemLocation().toStdString(), port.description().toStdString()});
        }
        std::sort(found.serialPorts.begin(), found.serialPorts.end(),
                  [](const auto& a, const auto& b) { return a.path < b.path; });
    }
    static const std::regex midiNode("midiC([0-9]+)D[0-9]+");
    for (const fs::path& node : matching(places.midiFolder, midiNode)) {
        std::smatch card;
        const std::string name = node.filename().string();
        std::regex_match(name, card, midiNode);
        found.midiAdapters.push_back(
            {node.string(), firstLine(places.soundCards / ("card" + card[1].str()) / "id")});
    }
    static const std::regex keyboardDevice(".*-event-kbd");
    for (const fs::path& device : matching(places.inputFolder, keyboardDevice))
        found.inputDevices.push_back(device.string());
    return found;
}

}  // namespace keytut::keys
