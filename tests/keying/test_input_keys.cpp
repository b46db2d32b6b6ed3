// A keyboard-type adapter's event stream as the input device delivers it, and the keys the
// learner may choose for it. (No input device exists on the test machines: the device itself,
// its grab and libevdev's reading are not exercised here.)
#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

#include "keying/input_keys.h"

namespace keytut {
namespace {

TEST(InputKeys, NamesAndCharacters) {
    EXPECT_EQ(defaultInputKeys(), (InputKeys{KEY_LEFTCTRL, KEY_RIGHTCTRL}));
    EXPECT_EQ(inputKeyCode("LEFTCTRL"), KEY_LEFTCTRL);
    EXPECT_EQ(inputKeyCode("key_rightctrl"), KEY_RIGHTCTRL);
    EXPECT_EQ(inputKeyCode("["), KEY_LEFTBRACE);
    EXPECT_EQ(inputKeyCode("]"), KEY_RIGHTBRACE);
    EXPECT_EQ(inputKeyCode("z"), KEY_Z);
    EXPECT_EQ(inputKeyCode("Z"), KEY_Z);
    EXPECT_EQ(inputKeyCode("."), KEY_DOT);
    EXPECT_EQ(inputKeyCode("0"), KEY_0);
    EXPECT_EQ(inputKeyCode("F12"), KEY_F12);
    EXPECT_FALSE(inputKeyCode("POWER"));  // not a key an adapter is set to type
    EXPECT_FALSE(inputKeyCode(""));
    EXPECT_EQ(inputKeyName(KEY_LEFTBRACE), "LEFTBRACE");
    EXPECT_EQ(inputKeyName(KEY_POWER), "");
    for (const char* name : {"LEFTCTRL", "SPACE", "Q", "9", "GRAVE", "RIGHT"})
        EXPECT_EQ(inputKeyName(*inputKeyCode(name)), name);
}

TEST(InputKeys, TwoDifferentKeysParted) {
    EXPECT_EQ(parseInputKeys("[,]"), (InputKeys{KEY_LEFTBRACE, KEY_RIGHTBRACE}));
    EXPECT_EQ(parseInputKeys("LEFTCTRL,RIGHTCTRL"), defaultInputKeys());
    EXPECT_EQ(parseInputKeys(",,."), (InputKeys{KEY_COMMA, KEY_DOT}));
    EXPECT_EQ(parseInputKeys(".,,"), (InputKeys{KEY_DOT, KEY_COMMA}));
    for (const char* bad : {"", "[", "[,", ",]", "[,[", "x,POWER", "LEFTCTRL RIGHTCTRL"})
        EXPECT_FALSE(parseInputKeys(bad)) << bad;
}

struct Ev {
    int type, code, value;
};

class Stream {
  public:
    explicit Stream(InputKeys keys = defaultInputKeys()) : lines(keys) {}
    // The events of one read; returns the lines after each change, in order.
    std::vector<std::uint32_t> read(const std::vector<Ev>& events) {
        std::vector<std::uint32_t> changes;
        for (const auto& e : events) {
            if (lines.event(e.type, e.code, e.value))
                changes.push_back(lines.lines());
        }
        return changes;
    }
    InputKeyLines lines;
};

const Ev kReport{EV_SYN, SYN_REPORT, 0};

TEST(InputKeyLines, PressesCountAtTheEndOfTheirReport) {
    Stream s;
    // A keyboard sends the scan code (EV_MSC) with each key; the lines change at the report.
    EXPECT_EQ(s.read({{EV_MSC, MSC_SCAN, 0x700e0}, {EV_KEY, KEY_LEFTCTRL, 1}}),
              std::vector<std::uint32_t>{});
    EXPECT_EQ(s.lines.lines(), 0u);
    EXPECT_EQ(s.read({kReport}), std::vector<std::uint32_t>{0x10});
    // Auto-repeat while the key is held is no new mark.
    EXPECT_EQ(s.read({{EV_KEY, KEY_LEFTCTRL, 2}, kReport, {EV_KEY, KEY_LEFTCTRL, 2}, kReport}),
              std::vector<std::uint32_t>{});
    // Both paddles in one report: one change.
    EXPECT_EQ(s.read({{EV_KEY, KEY_RIGHTCTRL, 1},
                      kReport,
                      {EV_KEY, KEY_LEFTCTRL, 0},
                      {EV_KEY, KEY_RIGHTCTRL, 0},
                      kReport}),
              (std::vector<std::uint32_t>{0x30, 0}));
    // Other keys of the adapter (or of a whole keyboard) change nothing.
    EXPECT_EQ(s.read({{EV_KEY, KEY_A, 1}, kReport, {EV_KEY, KEY_A, 0}, kReport}),
              std::vector<std::uint32_t>{});
    // A press and release within one report leave the line as it was.
    EXPECT_EQ(s.read({{EV_KEY, KEY_LEFTCTRL, 1}, {EV_KEY, KEY_LEFTCTRL, 0}, kReport}),
              std::vector<std::uint32_t>{});
}

TEST(InputKeyLines, DroppedEventsWaitForTheDevicesOwnState) {
    Stream s;
    s.read({{EV_KEY, KEY_LEFTCTRL, 1}, kReport});
    // The kernel's buffer ran over: what follows is not to be trusted until the keys are
    // read afresh (the release of Left Ctrl was lost).
    EXPECT_EQ(s.read({{EV_SYN, SYN_DROPPED, 0}, {EV_KEY, KEY_RIGHTCTRL, 1}, kReport}),
              std::vector<std::uint32_t>{});
    EXPECT_FALSE(s.lines.inSync());
    EXPECT_EQ(s.lines.lines(), 0x10u);
    EXPECT_TRUE(s.lines.resync(false, true));
    EXPECT_EQ(s.lines.lines(), 0x20u);
    EXPECT_EQ(s.read({{EV_KEY, KEY_RIGHTCTRL, 0}, kReport}), std::vector<std::uint32_t>{0});
}

TEST(InputKeyLines, TheLearnersKeys) {
    Stream s(*parseInputKeys("[,]"));
    EXPECT_EQ(s.read({{EV_KEY, KEY_LEFTCTRL, 1}, kReport}), std::vector<std::uint32_t>{});
    EXPECT_EQ(s.read({{EV_KEY, KEY_RIGHTBRACE, 1}, kReport, {EV_KEY, KEY_LEFTBRACE, 1}, kReport}),
              (std::vector<std::uint32_t>{0x20, 0x30}));
}

}  // namespace
}  // namespace keytut
