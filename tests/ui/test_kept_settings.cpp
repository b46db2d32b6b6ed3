// The settings kept between runs: what is written is read back; a file that is missing, damaged
// or holds values the main window does not offer gives the defaults.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <fstream>

#include "platform/ui/kept_settings.h"

namespace keytut::ui {
namespace {

class KeptSettingsFile : public ::testing::Test {
  protected:
    std::filesystem::path file() const {
        return std::filesystem::path(dir.path().toStdString()) / "keytut" / "earkey.conf";
    }
    void write(const std::string& content) {
        std::filesystem::create_directories(file().parent_path());
        std::ofstream(file(), std::ios::binary) << content;
    }
    QTemporaryDir dir;
    const KeptSettings defaults;
};

TEST_F(KeptSettingsFile, ReadsBackWhatWasWritten) {
    KeptSettings chosen;
    chosen.speeds.charIndex = 5;  // 25
    chosen.speeds.wordIndex = 2;  // 15
    chosen.port = "3";
    chosen.keyer = KeyerMode::Ultimatic;
    chosen.inputKeys = *parseInputKeys("[,]");
    chosen.tone = {450, true};
    ASSERT_TRUE(saveSettings(file(), chosen));
    EXPECT_EQ(loadSettings(file()), chosen);
    std::ifstream in(file());
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(text.find("character=25"), std::string::npos) << text;
    EXPECT_NE(text.find("keyer=ultimatic"), std::string::npos) << text;
    EXPECT_NE(text.find("dot=LEFTBRACE"), std::string::npos) << text;
    EXPECT_NE(text.find("pitch=450"), std::string::npos) << text;
    EXPECT_NE(text.find("soft-edges=true"), std::string::npos) << text;
    // Every offered pitch, and back to hard edges.
    for (int hz = kLowestPitch; hz <= kHighestPitch; hz += kPitchStep) {
        chosen.tone = {hz, false};
        ASSERT_TRUE(saveSettings(file(), chosen));
        EXPECT_EQ(loadSettings(file()).tone, chosen.tone) << hz;
    }
}

TEST_F(KeptSettingsFile, APitchOrEdgeNotOfferedGivesTheDefaultTone) {
    // A kept tone from an older run is read as it is; each value is checked on its own.
    write("[tone]\npitch=1000\nsoft-edges=true\n");
    EXPECT_EQ(loadSettings(file()).tone, (ToneSettings{1000, true}));
    for (const char* pitch : {"825", "1050", "350", "0", "-800", "800Hz", "", "8e2"}) {
        write(std::string("[tone]\npitch=") + pitch + "\nsoft-edges=true\n");
        EXPECT_EQ(loadSettings(file()).tone, (ToneSettings{800, true})) << pitch;
    }
    for (const char* soft : {"yes", "1", "on", "TRUE ", ""}) {
        write(std::string("[tone]\npitch=600\nsoft-edges=") + soft + "\n");
        EXPECT_EQ(loadSettings(file()).tone, (ToneSettings{600, false})) << soft;
    }
    // A file of the speeds and port alone (written before the tone was kept).
    write("[speeds]\ncharacter=15\nword=15\n[port]\nnumber=2\n");
    EXPECT_EQ(loadSettings(file()).tone, ToneSettings{});
}

TEST_F(KeptSettingsFile, MissingOrDamagedGivesTheDefaults) {
    EXPECT_EQ(loadSettings(file()), defaults);
    for (const std::string& damaged :
         {std::string("\x00\xff\xfe garbage \x01[[[", 17), std::string("[speeds\ncharacter=")}) {
        write(damaged);
        EXPECT_EQ(loadSettings(file()), defaults);
    }
    // A folder where the file should be.
    std::filesystem::remove(file());
    std::filesystem::create_directories(file());
    EXPECT_EQ(loadSettings(file()), defaults);
    EXPECT_FALSE(saveSettings(file(), defaults));
}

TEST_F(KeptSettingsFile, ValuesTheWindowDoesNotOfferAreReplacedOneByOne) {
    write("[speeds]\ncharacter=13\nword=20\n[port]\nnumber=COM1\n");
    KeptSettings kept = loadSettings(file());
    // 13 is no choice: the character speed stays 12, and the word speed 20 raises it to 20.
    EXPECT_EQ(kept.speeds.charIndex, 4);
    EXPECT_EQ(kept.speeds.wordIndex, 4);
    EXPECT_EQ(kept.port, "1");

    write("[speeds]\ncharacter=30\nword=5\n[port]\nnumber=12345678901234\n");
    kept = loadSettings(file());
    EXPECT_EQ(kept.speeds.charIndex, 6);
    EXPECT_EQ(kept.speeds.wordIndex, 0);
    EXPECT_EQ(kept.port, "1");

    // A keyer that is none of the modes; a pair of keys of which one is unknown, or twice the
    // same: the defaults, both keys together.
    for (const char* keys : {"dot=LEFTBRACE\ndash=POWER\n", "dot=Z\ndash=z\n"}) {
        write(std::string("[paddle]\nkeyer=curtis\n[input]\n") + keys);
        kept = loadSettings(file());
        EXPECT_EQ(kept.keyer, KeyerMode::Plain);
        EXPECT_EQ(kept.inputKeys, defaultInputKeys()) << keys;
    }
}

TEST_F(KeptSettingsFile, ADamagedFileIsReplacedWhenSaved) {
    write(std::string("\x00\x01\x02[x", 5));
    KeptSettings chosen;
    chosen.port = "2";
    ASSERT_TRUE(saveSettings(file(), chosen));
    EXPECT_EQ(loadSettings(file()), chosen);
}

TEST_F(KeptSettingsFile, TheKeyOfEachPortIsKeptAndOnlyWhatChangedIsWritten) {
    KeptSettings chosen;
    chosen.keys = {{"1", "midi:/dev/snd/midiC1D0"}, {"3", "sim:paris keys.txt"}};
    ASSERT_TRUE(saveSettings(file(), chosen));
    EXPECT_EQ(loadSettings(file()), chosen);
    auto text = [this] {
        std::ifstream in(file());
        return std::string((std::istreambuf_iterator<char>(in)), {});
    };
    EXPECT_NE(text().find("[key]\n1=midi:/dev/snd/midiC1D0\n"), std::string::npos) << text();

    // Another program's or a later version's lines stay; a run that changed nothing leaves the
    // file as it was, line for line.
    write(text() + "[progress]\nlevel=4\n");
    const std::string before = text();
    ASSERT_TRUE(saveSettings(file(), chosen));
    EXPECT_EQ(text(), before);

    // A port back on its numbered serial port loses its line; the others keep theirs.
    chosen.keys.erase("1");
    chosen.keys["2"] = "keyboard";
    ASSERT_TRUE(saveSettings(file(), chosen));
    EXPECT_EQ(loadSettings(file()).keys, chosen.keys);
    EXPECT_EQ(text().find("midiC1D0"), std::string::npos) << text();
    EXPECT_NE(text().find("level=4"), std::string::npos) << text();

    // Lines that are no port number or no key are dropped one by one.
    write("[key]\n1=keyboard\nx=keyboard\n2=ttyUSB0\n3=sim:\n4=/dev/ttyUSB0\n");
    EXPECT_EQ(loadSettings(file()).keys,
              (std::map<std::string, std::string>{{"1", "keyboard"}, {"4", "/dev/ttyUSB0"}}));
}

}  // namespace
}  // namespace keytut::ui
