// The Key setting's list, from what was found on a machine: the order and captions the learner
// hears, the device each entry stands for, a kept device unplugged since, and --port winning.
#include <gtest/gtest.h>

#include "keying/key_choices.h"
#include "keying/key_source.h"

namespace keytut {
namespace {

FoundKeys aMachine() {
    FoundKeys found;
    found.serialPorts = {{"/dev/ttyS0", ""},
                         {"/dev/ttyS1", ""},
                         {"/dev/ttyUSB0", "FT232R USB UART"},
                         {"/dev/ttyACM0", ""}};
    found.midiAdapters = {{"/dev/snd/midiC1D0", "Adapter"}, {"/dev/snd/midiC2D0", ""}};
    found.inputDevices = {"/dev/input/by-id/usb-Key_Paddle_1234-event-kbd"};
    return found;
}

std::vector<std::string> captions(const KeyChoiceList& list) {
    std::vector<std::string> out;
    for (const auto& c : list.choices)
        out.push_back(c.caption);
    return out;
}

TEST(KeyChoices, EverythingFoundInOrderWithWhatItStandsFor) {
    const KeyChoiceList list = keyChoices("1", aMachine(), "");
    EXPECT_EQ(captions(list),
              (std::vector<std::string>{"COM1: ttyS0", "ttyUSB0: FT232R USB UART", "ttyACM0",
                                        "MIDI adapter midiC1D0: Adapter", "MIDI adapter midiC2D0",
                                        "Keyboard-type adapter Key Paddle 1234",
                                        "Keyboard and mouse", "Key script"}));
    EXPECT_EQ(list.chosen, 0);
    std::vector<std::string> devices;
    for (const auto& c : list.choices)
        devices.push_back(c.device);
    EXPECT_EQ(
        devices,
        (std::vector<std::string>{
            "", "/dev/ttyUSB0", "/dev/ttyACM0", "midi:/dev/snd/midiC1D0", "midi:/dev/snd/midiC2D0",
            "input:/dev/input/by-id/usb-Key_Paddle_1234-event-kbd", "keyboard", ""}));
    // The numbered entry follows the number; a number that names no port says so.
    EXPECT_EQ(keyChoices("3", {}, "").choices[0].caption, "COM3: ttyS2");
    EXPECT_EQ(keyChoices("03", {}, "").choices[0].caption, "COM03: no such serial port");
    // A machine with nothing: the numbered port, the keyboard and a script remain.
    EXPECT_EQ(captions(keyChoices("2", {}, "")),
              (std::vector<std::string>{"COM2: ttyS1", "Keyboard and mouse", "Key script"}));
}

TEST(KeyChoices, TheKeptDeviceIsChosenEvenWhenUnplugged) {
    const FoundKeys found = aMachine();
    EXPECT_EQ(keyChoices("1", found, "midi:/dev/snd/midiC2D0").chosen, 4);
    EXPECT_EQ(keyChoices("1", found, "keyboard").chosen, 6);
    EXPECT_EQ(keyChoices("1", found, "sim:paris.txt").chosen, 7);
    for (auto [kept, caption] :
         {std::pair{"midi:/dev/snd/midiC3D0", "MIDI adapter midiC3D0 (not found now)"},
          {"/dev/ttyUSB1", "ttyUSB1 (not found now)"},
          {"input:/dev/input/by-id/usb-Old_Key-event-kbd",
           "Keyboard-type adapter Old Key (not found now)"}}) {
        const KeyChoiceList list = keyChoices("1", found, kept);
        ASSERT_EQ(list.choices.size(), 9u) << kept;
        const KeyChoice& chosen = list.choices[static_cast<std::size_t>(list.chosen)];
        EXPECT_EQ(chosen.caption, caption);
        EXPECT_EQ(chosen.device, kept);
        EXPECT_EQ(list.choices.back().caption, "Key script");
        EXPECT_EQ(list.choices[list.choices.size() - 2].caption, "Keyboard and mouse");
    }
}

TEST(KeyChoices, ScriptsNeedAFileAndTheCommandLineWins) {
    const KeyChoiceList list = keyChoices("1", {}, "");
    const KeyChoice& script = list.choices.back();
    EXPECT_EQ(chosenDevice(script, ""), std::nullopt);
    EXPECT_EQ(chosenDevice(script, "paris.txt"), "sim:paris.txt");
    EXPECT_EQ(chosenDevice(list.choices[1], "paris.txt"), "keyboard");
    EXPECT_EQ(scriptFileOf("sim:a b.txt"), "a b.txt");
    EXPECT_EQ(scriptFileOf("midi:/dev/snd/midiC1D0"), "");

    for (const char* good :
         {"keyboard", "sim:x", "midi:/dev/snd/midiC1D0", "input:/dev/x", "/dev/ttyUSB0"})
        EXPECT_TRUE(validKeyDevice(good)) << good;
    for (const char* bad : {"", "sim:", "midi:", "input:", "ttyUSB0", "/", "keyboard2"})
        EXPECT_FALSE(validKeyDevice(bad)) << bad;

    const auto devices = portDevices({{"1", "keyboard"}, {"2", "midi:/dev/snd/midiC1D0"}},
                                     {{"2", "sim:k.txt"}, {"3", "/dev/ttyUSB0"}});
    EXPECT_EQ(devices, (std::map<std::string, std::string>{
                           {"1", "keyboard"}, {"2", "sim:k.txt"}, {"3", "/dev/ttyUSB0"}}));
    EXPECT_EQ(resolveKeyPort("2", devices).kind, KeyPortChoice::Kind::Simulated);
}

}  // namespace
}  // namespace keytut
