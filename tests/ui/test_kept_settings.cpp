// The settings kept between runs: what is kept is read back; a file that is missing, damaged,
// over-large, not a regular file or holds values the main window does not offer gives the
// defaults; two programs that keep settings in the same file keep each other's changes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QElapsedTimer>
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
    std::string read() const {
        std::ifstream in(file(), std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), {});
    }
    KeptSettings chosen(int charIndex, int wordIndex, std::string port) const {
        KeptSettings kept;
        kept.speeds.charIndex = charIndex;
        kept.speeds.wordIndex = wordIndex;
        kept.port = std::move(port);
        return kept;
    }
    QTemporaryDir dir;
    const KeptSettings defaults;
};

TEST_F(KeptSettingsFile, ReadsBackWhatWasKept) {
    SettingsKeeper keeper(file());
    EXPECT_EQ(keeper.loaded(), defaults);
    const KeptSettings mine = chosen(5, 2, "3");  // 25, 15
    ASSERT_TRUE(keeper.keep(mine)) << keeper.error();
    EXPECT_EQ(loadSettings(file()), mine);
    EXPECT_NE(read().find("character=25"), std::string::npos) << read();
    EXPECT_EQ(SettingsKeeper(file()).loaded(), mine);
}

TEST_F(KeptSettingsFile, NothingChangedWritesNothing) {
    SettingsKeeper keeper(file());
    ASSERT_TRUE(keeper.keep(defaults));
    EXPECT_FALSE(std::filesystem::exists(file()));
}

TEST_F(KeptSettingsFile, ReadsBackTheToneKeyerAndAdapterKeys) {
    KeptSettings picked;
    picked.speeds.charIndex = 5;  // 25
    picked.speeds.wordIndex = 2;  // 15
    picked.port = "3";
    picked.keyer = KeyerMode::Ultimatic;
    picked.inputKeys = *parseInputKeys("[,]");
    picked.tone = {450, true};
    ASSERT_TRUE(SettingsKeeper(file()).keep(picked));
    EXPECT_EQ(loadSettings(file()), picked);
    std::ifstream in(file());
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(text.find("character=25"), std::string::npos) << text;
    EXPECT_NE(text.find("keyer=ultimatic"), std::string::npos) << text;
    EXPECT_NE(text.find("dot=LEFTBRACE"), std::string::npos) << text;
    EXPECT_NE(text.find("pitch=450"), std::string::npos) << text;
    EXPECT_NE(text.find("soft-edges=true"), std::string::npos) << text;
    // Every offered pitch, and back to hard edges.
    for (int hz = kLowestPitch; hz <= kHighestPitch; hz += kPitchStep) {
        picked.tone = {hz, false};
        ASSERT_TRUE(SettingsKeeper(file()).keep(picked));
        EXPECT_EQ(loadSettings(file()).tone, picked.tone) << hz;
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
    // A folder where the file should be: read as missing, and never written over.
    std::filesystem::remove(file());
    std::filesystem::create_directories(file());
    EXPECT_EQ(loadSettings(file()), defaults);
    SettingsKeeper keeper(file());
    EXPECT_FALSE(keeper.keep(chosen(5, 2, "3")));
    EXPECT_NE(keeper.error().find("not a regular file"), std::string::npos) << keeper.error();
    EXPECT_TRUE(std::filesystem::is_directory(file()));
}

TEST_F(KeptSettingsFile, AFifoIsNeitherWaitedOnNorReplaced) {
    std::filesystem::create_directories(file().parent_path());
    ASSERT_EQ(::mkfifo(file().c_str(), 0600), 0);
    QElapsedTimer clock;
    clock.start();
    SettingsKeeper keeper(file());  // no writer will ever come
    EXPECT_EQ(keeper.loaded(), defaults);
    EXPECT_FALSE(keeper.keep(chosen(5, 2, "3")));
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_TRUE(std::filesystem::is_fifo(file()));
}

TEST_F(KeptSettingsFile, AnOverLargeFileIsDamagedAndReplaced) {
    std::string huge = "[speeds]\ncharacter=15\n[many]\n";
    while (huge.size() <= kMaxSettingsFileBytes)
        huge += "k" + std::to_string(huge.size()) + "=1\n";
    write(huge);
    SettingsKeeper keeper(file());
    EXPECT_EQ(keeper.loaded(), defaults);
    ASSERT_TRUE(keeper.keep(chosen(2, 2, "1"))) << keeper.error();
    EXPECT_LT(std::filesystem::file_size(file()), 200u) << read();
    EXPECT_EQ(loadSettings(file()), chosen(2, 2, "1"));
}

TEST_F(KeptSettingsFile, ValuesTheWindowDoesNotOfferAreReplacedOneByOne) {
    write("[speeds]\ncharacter=13\nword=20\n[port]\nnumber=COM1\n");
    KeptSettings kept = loadSettings(file());
    // 13 is no choice: the character speed stays 12, and the word speed 20 raises it to 20.
    EXPECT_EQ(kept.speeds.charIndex, 4);
    EXPECT_EQ(kept.speeds.wordIndex, 4);
    EXPECT_EQ(kept.port, "1");

    write("[speeds]\ncharacter=30\nword=5\n[port]\nnumber=1234\n");
    kept = loadSettings(file());
    EXPECT_EQ(kept.speeds.charIndex, 6);
    EXPECT_EQ(kept.speeds.wordIndex, 0);
    EXPECT_EQ(kept.port, "1");  // longer than a port number can be
    write("[port]\nnumber=007\n");
    EXPECT_EQ(loadSettings(file()).port, "007");

    // A keyer that is none of the modes; a pair of keys of which one is unknown, or twice the
    // same: the defaults, both keys together.
    for (const char* keys : {"dot=LEFTBRACE\ndash=POWER\n", "dot=Z\ndash=z\n"}) {
        write(std::string("[paddle]\nkeyer=curtis\n[input]\n") + keys);
        kept = loadSettings(file());
        EXPECT_EQ(kept.keyer, KeyerMode::Plain);
        EXPECT_EQ(kept.inputKeys, defaultInputKeys()) << keys;
    }
}

TEST_F(KeptSettingsFile, ADamagedFileIsReplacedWhenKept) {
    write(std::string("\x00\x01\x02[x", 5));
    SettingsKeeper keeper(file());
    ASSERT_TRUE(keeper.keep(chosen(1, 1, "2")));
    EXPECT_EQ(loadSettings(file()), chosen(1, 1, "2"));
    EXPECT_EQ(read().find('\x01'), std::string::npos);
}

TEST_F(KeptSettingsFile, TwoProgramsKeepWhatEachChanged) {
    write(
        "; the learner's own note\n[speeds]\ncharacter=12\nword=12\n[port]\nnumber=1\n"
        "[other]\nkey=kept as it was\n");
    SettingsKeeper first(file());
    SettingsKeeper second(file());                // both started before either kept anything
    ASSERT_TRUE(first.keep(chosen(3, 1, "1")));   // the character speed 18
    ASSERT_TRUE(second.keep(chosen(1, 1, "4")));  // the port 4, from 12 12 as it started
    EXPECT_EQ(loadSettings(file()), chosen(3, 1, "4"));
    // The first changes its word speed: its port was never changed, so the second's stays.
    ASSERT_TRUE(first.keep(chosen(3, 3, "1")));
    EXPECT_EQ(loadSettings(file()), chosen(3, 3, "4"));
    const std::string text = read();
    EXPECT_NE(text.find("; the learner's own note\n"), std::string::npos) << text;
    EXPECT_NE(text.find("[other]\nkey=kept as it was\n"), std::string::npos) << text;
}

TEST_F(KeptSettingsFile, TheFileIsReplacedInOneStepAndALinkIsFollowed) {
    SettingsKeeper keeper(file());
    ASSERT_TRUE(keeper.keep(chosen(2, 2, "2")));
    // A reader that has the old file open keeps reading the old file whole.
    int old = ::open(file().c_str(), O_RDONLY);
    ASSERT_GE(old, 0);
    struct stat before {};
    ::fstat(old, &before);
    ASSERT_TRUE(keeper.keep(chosen(3, 3, "3")));
    struct stat after {};
    ASSERT_EQ(::stat(file().c_str(), &after), 0);
    EXPECT_NE(before.st_ino, after.st_ino);
    char text[256] = {};
    EXPECT_GT(::read(old, text, sizeof text - 1), 0);
    EXPECT_NE(std::string(text).find("character=15"), std::string::npos) << text;
    ::close(old);
    // Nothing is left behind in the folder.
    int entries = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator(file().parent_path()))
        ++entries;
    EXPECT_EQ(entries, 1);

    // The settings file as a link to the learner's own copy: the copy is written, the link stays.
    const auto real = file().parent_path() / "real.conf";
    std::filesystem::rename(file(), real);
    std::filesystem::create_symlink(real, file());
    SettingsKeeper linked(file());
    EXPECT_EQ(linked.loaded(), chosen(3, 3, "3"));
    ASSERT_TRUE(linked.keep(chosen(4, 4, "3")));
    EXPECT_TRUE(std::filesystem::is_symlink(file()));
    EXPECT_EQ(loadSettings(real), chosen(4, 4, "3"));
}

TEST(KeptSettingsText, EntriesGoWhereTheirKeysAreOrIntoTheirSection) {
    EXPECT_EQ(withEntries("", {{"speeds/word", "15"}}), "[speeds]\nword=15\n");
    EXPECT_EQ(withEntries("[speeds]\ncharacter=12\n\n[port]\nnumber=1\n", {{"speeds/word", "15"}}),
              "[speeds]\ncharacter=12\nword=15\n\n[port]\nnumber=1\n");
    EXPECT_EQ(withEntries("[port]\r\nnumber = 1\r\n", {{"port/number", "3"}}),
              "[port]\nnumber=3\n");
    EXPECT_EQ(withEntries("[port]\nnumber=1\n", {{"tone/pitch", "600"}}),
              "[port]\nnumber=1\n\n[tone]\npitch=600\n");
}

TEST_F(KeptSettingsFile, TheKeyOfEachPortIsKeptAndAPortBackOnItsNumberLosesIt) {
    KeptSettings chosen;
    chosen.keys = {{"1", "midi:/dev/snd/midiC1D0"}, {"3", "sim:paris keys.txt"}};
    SettingsKeeper keeper(file());
    ASSERT_TRUE(keeper.keep(chosen)) << keeper.error();
    EXPECT_EQ(loadSettings(file()), chosen);
    EXPECT_NE(read().find("[key]\n1=midi:/dev/snd/midiC1D0\n"), std::string::npos) << read();

    // A port back on the serial port its number names has no key any more, in this run and the
    // next; the others keep theirs.
    chosen.keys.erase("1");
    chosen.keys["2"] = "keyboard";
    ASSERT_TRUE(keeper.keep(chosen)) << keeper.error();
    EXPECT_EQ(loadSettings(file()).keys, chosen.keys);
    EXPECT_EQ(read().find("midiC1D0"), std::string::npos) << read();
    EXPECT_EQ(SettingsKeeper(file()).loaded(), chosen);

    // Lines that are no port number or no key are dropped one by one.
    write("[key]\n1=keyboard\nx=keyboard\n2=ttyUSB0\n3=sim:\n4=/dev/ttyUSB0\n5=\n");
    EXPECT_EQ(loadSettings(file()).keys,
              (std::map<std::string, std::string>{{"1", "keyboard"}, {"4", "/dev/ttyUSB0"}}));
}

}  // namespace
}  // namespace keytut::ui
