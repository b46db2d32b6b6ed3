// Where a port setting leads, and the simulated key's scripts.
#include <gtest/gtest.h>

#include <fstream>

#include "keying/key_source.h"
#include "keying/sim_key.h"

namespace keytut {
namespace {

TEST(KeyPort, SettingLeadsToADevice) {
    std::map<std::string, std::string> given{{"1", "/dev/ttyUSB0"},
                                             {"2", "keyboard"},
                                             {"3", "sim:/tmp/k.txt"},
                                             {"5", "midi:/dev/snd/midiC1D0"},
                                             {"6", "input:/dev/input/event3"}};
    using K = KeyPortChoice::Kind;
    auto is = [&](const std::string& text, K kind, const std::string& device) {
        auto c = resolveKeyPort(text, given);
        EXPECT_EQ(c.kind, kind) << text;
        EXPECT_EQ(c.device, device) << text;
    };
    is("", K::None, "");
    is("1", K::Serial, "/dev/ttyUSB0");
    is("2", K::Keyboard, "");
    is("3", K::Simulated, "/tmp/k.txt");
    is("4", K::Serial, "/dev/ttyS3");
    is("5", K::Midi, "/dev/snd/midiC1D0");
    is("6", K::Input, "/dev/input/event3");
    is("10", K::Serial, "/dev/ttyS9");
    is("01", K::Serial, "");  // COM01 is no device
    is("0", K::Serial, "");
    is("1 ", K::Serial, "");
    EXPECT_EQ(cantOpenPortMessage("01"), "Can't open port 01");
}

TEST(SimulatedKey, ScriptsAndTheirFaults) {
    std::string error;
    auto script =
        parseSimKeyScript("# a dot\n100 CTS\n  180 -   # up\n\n200 CTS+DSR\n260 DSR\n", error);
    ASSERT_TRUE(script) << error;
    EXPECT_EQ(script->linesAt(0), 0u);
    EXPECT_EQ(script->linesAt(100), MS_CTS_ON);
    EXPECT_EQ(script->linesAt(179), MS_CTS_ON);
    EXPECT_EQ(script->linesAt(180), 0u);
    EXPECT_EQ(script->linesAt(250), MS_CTS_ON | MS_DSR_ON);
    EXPECT_EQ(script->linesAt(100000), MS_DSR_ON);
    EXPECT_EQ(formatSimKeyScript(*script), "100 CTS\n180 -\n200 CTS+DSR\n260 DSR\n");

    for (auto [text, why] : {std::pair{"100 RTS\n", "line 1: 'RTS' is not one of"},
                             {"100 CTS\n50 -\n", "line 2: the time goes back"},
                             {"CTS 100\n", "line 1: 'CTS' is not a time"},
                             {"100\n", "line 1: wants MILLISECONDS STATE"},
                             {"1 CTS extra\n", "line 1: wants MILLISECONDS STATE"}}) {
        EXPECT_FALSE(parseSimKeyScript(text, error)) << text;
        EXPECT_EQ(error.rfind(why, 0), 0u) << error;
    }

    auto missing = openSimulatedKey("/nonexistent/key.txt", "1", [] { return 0; });
    ASSERT_TRUE(std::holds_alternative<KeyPortError>(missing));
    EXPECT_EQ(std::get<KeyPortError>(missing).message,
              "Can't read the key script /nonexistent/key.txt");
}

TEST(SimulatedKey, PlaysOnItsClock) {
    auto path = ::testing::TempDir() + "/keying_sim.txt";
    std::ofstream(path) << "10 CTS\n20 -\n";
    std::int64_t now = 0;
    auto opened = openSimulatedKey(path, "1", [&] { return now; });
    ASSERT_TRUE(std::holds_alternative<std::unique_ptr<KeySource>>(opened));
    auto& key = *std::get<std::unique_ptr<KeySource>>(opened);
    std::string seen;
    for (now = 0; now < 30; now += 5)
        seen += key.readKeyLines() ? '#' : '.';
    EXPECT_EQ(seen, "..##..");
    EXPECT_FALSE(key.failed());
}

}  // namespace
}  // namespace keytut
