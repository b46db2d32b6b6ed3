// The command line of both programs and Earkey's lesson captions.
#include <gtest/gtest.h>

#include "earkey/main_menu.h"
#include "platform/ui/program.h"

namespace keytut::ui {
namespace {

CommandLine parse(std::vector<std::string> args) {
    return parseCommandLine(args);
}

TEST(CommandLine, AcceptsEveryOption) {
    CommandLine line =
        parse({"--record", "out.wav", "--port", "1=/dev/ttyUSB0", "--port=2=sim:k.txt", "--seed",
               "42", "--data=/tmp", "--reset-settings", "-platform", "offscreen"});
    ASSERT_EQ(line.outcome, CommandLine::Outcome::Run) << line.error;
    EXPECT_EQ(line.options.backend, audio::Backend::WavFile);
    EXPECT_EQ(line.options.recordPath, "out.wav");
    EXPECT_EQ(line.options.portDevices,
              (std::map<std::string, std::string>{{"1", "/dev/ttyUSB0"}, {"2", "sim:k.txt"}}));
    EXPECT_EQ(line.options.seed, 42u);
    EXPECT_EQ(line.options.dataFolder, "/tmp");
    EXPECT_TRUE(line.options.resetSettings);
    EXPECT_EQ(line.qtArgs, (std::vector<std::string>{"-platform", "offscreen"}));

    EXPECT_EQ(parse({"--no-sound"}).options.backend, audio::Backend::Null);
    CommandLine plain = parse({});
    EXPECT_EQ(plain.options.backend, audio::Backend::PortAudio);
    EXPECT_FALSE(plain.options.seed);
    EXPECT_FALSE(plain.options.resetSettings);
    EXPECT_EQ(parse({"--seed", "1", "--help"}).outcome, CommandLine::Outcome::Help);
    EXPECT_FALSE(plain.options.keyer);
    EXPECT_FALSE(plain.options.inputKeys);

    line = parse({"--keyer", "iambic-b", "--input-keys=[,]", "--port", "1=midi:/dev/snd/midiC1D0"});
    ASSERT_EQ(line.outcome, CommandLine::Outcome::Run) << line.error;
    EXPECT_EQ(line.options.keyer, KeyerMode::IambicB);
    EXPECT_EQ(line.options.inputKeys, parseInputKeys("LEFTBRACE,RIGHTBRACE"));
    EXPECT_EQ(line.options.portDevices.at("1"), "midi:/dev/snd/midiC1D0");

    // Without --progress nothing names a file yet: the program gives the default.
    EXPECT_TRUE(plain.options.progressFile.empty());
    EXPECT_EQ(parse({"--progress", "p.sqlite3"}).options.progressFile, "p.sqlite3");
    EXPECT_EQ(parse({"--progress=/x/p.sqlite3"}).options.progressFile, "/x/p.sqlite3");
}

TEST(CommandLine, RefusesBadOptionsWithAReason) {
    const std::vector<std::vector<std::string>> bad = {{"--colour"},
                                                       {"stray"},
                                                       {"--record"},
                                                       {"--record="},
                                                       {"--port", "1"},
                                                       {"--port", "=x"},
                                                       {"--port", "a=/dev/ttyS0"},
                                                       {"--port", "1="},
                                                       {"--port", "1234=/dev/ttyS0"},
                                                       {"--seed", "-1"},
                                                       {"--seed", "12x"},
                                                       {"--seed"},
                                                       {"--data"},
                                                       {"--progress"},
                                                       {"--progress="},
                                                       {"--no-sound=1"},
                                                       {"--reset-settings=1"},
                                                       {"--keyer"},
                                                       {"--keyer", "Iambic B"},
                                                       {"--keyer", "curtis"},
                                                       {"--input-keys", "[,["},
                                                       {"--input-keys", "LEFTCTRL"},
                                                       {"--input-keys", "POWER,]"},
                                                       {"--record", "a.wav", "--no-sound"}};
    for (const auto& args : bad) {
        CommandLine line = parse(args);
        EXPECT_EQ(line.outcome, CommandLine::Outcome::Error) << args.front();
        EXPECT_FALSE(line.error.empty()) << args.front();
    }
    EXPECT_NE(parse({"--colour"}).error.find("--colour"), std::string::npos);
}

TEST(CommandLine, HelpNamesEveryOption) {
    std::string help = usageText({"earkey", "Earkey", "Earkey: Morse practice."});
    for (const char* option : {"--help", "--record", "--no-sound", "--port", "--seed", "--data",
                               "--reset-settings", "--keyer", "--input-keys", "midi:DEVICE",
                               "input:DEVICE", "--progress", "progress.sqlite3"}) {
        EXPECT_NE(help.find(option), std::string::npos) << option;
    }
}

TEST(LessonCaptions, SpelledWithBlanksExceptTheLastTwo) {
    EXPECT_EQ(earkey::lessonCaption("ETA", 3, 11), "E T A ");
    EXPECT_EQ(earkey::lessonCaption("1234567890", 10, 11), "Numbers");
    EXPECT_EQ(earkey::lessonCaption("+@!=/.,?", 11, 11), "Punctuation");
    EXPECT_EQ(earkey::lessonCaption("ETIM", 1, 1), "Punctuation");
    EXPECT_EQ(earkey::lessonCaption("", 1, 5), "");
}

}  // namespace
}  // namespace keytut::ui
