#include "kept_settings.h"

#include <QSettings>
#include <QStandardPaths>
#include <algorithm>

#include "keying/key_choices.h"

namespace keytut::ui {

namespace {

const char* const kCharacterSpeedKey = "speeds/character";
const char* const kWordSpeedKey = "speeds/word";
const char* const kPortKey = "port/number";
const char* const kKeyerKey = "paddle/keyer";
const char* const kInputDotKey = "input/dot";
const char* const kInputDashKey = "input/dash";
const char* const kPitchKey = "tone/pitch";
const char* const kSoftEdgesKey = "tone/soft-edges";
const char* const kKeyGroup = "key";  // key/1=midi:/dev/snd/midiC1D0

// The position of a speed written as its words per minute ("15"); -1 for anything else.
int speedIndex(const QString& text) {
    for (std::size_t i = 0; i < speedChoices.size(); ++i) {
        if (text == QLatin1String(speedChoices[i]))
            return static_cast<int>(i);
    }
    return -1;
}

bool validPort(const QString& text) {
    // What the port box accepts: digits, and not so many that they mean nothing.
    return !text.isEmpty() && text.size() <= 9 &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
}

}  // namespace

std::filesystem::path settingsFile(const std::string& program) {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return std::filesystem::path(base.toStdString()) / "keytut" / (program + ".conf");
}

KeptSettings loadSettings(const std::filesystem::path& file) {
    KeptSettings kept;
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error))
        return kept;
    QSettings settings(QString::fromStdString(file.string()), QSettings::IniFormat);
    settings.allKeys();  // the file is read on first use
    if (settings.status() != QSettings::NoError)
        return kept;
    const int charIndex = speedIndex(settings.value(kCharacterSpeedKey).toString());
    const int wordIndex = speedIndex(settings.value(kWordSpeedKey).toString());
    // Through the speed rule, so that a file edited by hand still gives a word speed no faster
    // than the character speed.
    Timing timing;
    if (charIndex >= 0)
        kept.speeds.chooseCharacterSpeed(charIndex, timing);
    if (wordIndex >= 0)
        kept.speeds.chooseWordSpeed(wordIndex, timing);
    const QString port = settings.value(kPortKey).toString();
    if (validPort(port))
        kept.port = port.toStdString();
    if (auto keyer = keyerModeFromName(settings.value(kKeyerKey).toString().toStdString()))
        kept.keyer = *keyer;
    // The two keys together, or neither: a pair that is not two keys is not half the learner's.
    const auto dot = inputKeyCode(settings.value(kInputDotKey).toString().toStdString());
    const auto dash = inputKeyCode(settings.value(kInputDashKey).toString().toStdString());
    if (dot && dash && *dot != *dash)
        kept.inputKeys = {*dot, *dash};
    bool isNumber = false;
    const int pitch = settings.value(kPitchKey).toString().toInt(&isNumber);
    if (isNumber && pitchOffered(pitch))
        kept.tone.pitch = pitch;
    const QString soft = settings.value(kSoftEdgesKey).toString();
    if (soft == QLatin1String("true") || soft == QLatin1String("false"))
        kept.tone.softEdges = soft == QLatin1String("true");
    settings.beginGroup(kKeyGroup);
    for (const QString& port : settings.childKeys()) {
        const std::string device = settings.value(port).toString().toStdString();
        if (validPort(port) && validKeyDevice(device))
            kept.keys[port.toStdString()] = device;
    }
    settings.endGroup();
    return kept;
}

bool saveSettings(const std::filesystem::path& file, const KeptSettings& kept) {
    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    if (error)
        return false;
    const QString name = QString::fromStdString(file.string());
    {
        QSettings old(name, QSettings::IniFormat);
        old.allKeys();  // the file is read on first use
        if (old.status() == QSettings::FormatError) {
            // A damaged file is replaced, not merged into.
            std::filesystem::remove(file, error);
        }
    }
    QSettings settings(name, QSettings::IniFormat);
    auto keep = [&settings](const QString& key, const QString& value) {
        if (!settings.contains(key) || settings.value(key).toString() != value)
            settings.setValue(key, value);
    };
    keep(kCharacterSpeedKey, speedChoices[static_cast<std::size_t>(kept.speeds.charIndex)]);
    keep(kWordSpeedKey, speedChoices[static_cast<std::size_t>(kept.speeds.wordIndex)]);
    keep(kPortKey, QString::fromStdString(kept.port));
    keep(kKeyerKey, QString::fromStdString(keyerModeName(kept.keyer)));
    keep(kInputDotKey, QString::fromStdString(inputKeyName(kept.inputKeys.dot)));
    keep(kInputDashKey, QString::fromStdString(inputKeyName(kept.inputKeys.dash)));
    keep(kPitchKey, QString::number(kept.tone.pitch));
    keep(kSoftEdgesKey, kept.tone.softEdges ? QStringLiteral("true") : QStringLiteral("false"));
    settings.beginGroup(kKeyGroup);
    for (const QString& port : settings.childKeys()) {
        if (!kept.keys.contains(port.toStdString()))
            settings.remove(port);
    }
    for (const auto& [port, device] : kept.keys)
        keep(QString::fromStdString(port), QString::fromStdString(device));
    settings.endGroup();
    settings.sync();
    return settings.status() == QSettings::NoError;
}

}  // namespace keytut::ui
