// The shipped code table, and drivers that work the decoders tick by tick as the key screens do.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/code_table.h"
#include "keying/paddle.h"
#include "keying/straight_key.h"
#include "tests/editions.h"

namespace keytut::testing {

inline const CodeTable& shippedCodes() {
    static const CodeTable table = [] {
        CodeTable t;
        CollectingMessageSink sink;
        EXPECT_TRUE(loadCodeTable(t, KEYTUT_DATA_DIR, sink));
        return t;
    }();
    return table;
}

// A straight key on a virtual clock: each tick reads the lines, counts, then checks for a flush,
// in the screen's order. The clock runs at 5 ms a tick from `startMs`.
class StraightKeyer {
  public:
    explicit StraightKeyer(Edition edition, std::int64_t startMs = 0)
        : startMs_(startMs), decoder(shippedCodes(), profileOf(edition), [this] { return now(); }) {
        decoder.beginVisit();
    }

    std::int64_t now() const { return startMs_ + ticks_ * 5; }

    // The key held in `lines` for `ticks` ticks; returns what was output meanwhile.
    std::vector<KeyedCharacter> hold(std::uint32_t lines, int ticks) {
        std::vector<KeyedCharacter> out;
        for (int i = 0; i < ticks; ++i) {
            if (auto c = decoder.keyLines(lines))
                out.push_back(*c);
            decoder.tick();
            ++ticks_;
            if (auto c = decoder.flushIfDue())
                out.push_back(*c);
        }
        return out;
    }
    std::vector<KeyedCharacter> mark(int ticks) { return hold(0x10, ticks); }
    std::vector<KeyedCharacter> space(int ticks) { return hold(0, ticks); }
    // Dots (1) and dashes (3) of `unit` ticks with one-unit gaps, then a key-down after `gap`
    // ticks that ends the character.
    std::vector<KeyedCharacter> character(const std::vector<int>& elements, int unit, int gap) {
        for (std::size_t i = 0; i < elements.size(); ++i) {
            mark(elements[i] * unit);
            if (i + 1 < elements.size())
                space(unit);
        }
        auto out = space(gap);
        auto more = mark(1);
        out.insert(out.end(), more.begin(), more.end());
        return out;
    }

  private:
    std::int64_t startMs_;
    std::int64_t ticks_ = 0;

  public:
    StraightKeyDecoder decoder;
};

// The paddles as the keyer reads them, with a record of every tick's tone.
class Paddles {
  public:
    Paddles(Edition edition, int wpm, KeyerMode mode = KeyerMode::Plain)
        : keyer(shippedCodes(), profileOf(edition), paddleDotTicks(std::to_string(wpm)), mode) {}

    // The paddles closed as `lines` for `ticks` ticks; returns the characters output.
    std::string hold(std::uint32_t lines, int ticks) {
        std::string out;
        for (int i = 0; i < ticks; ++i) {
            if (auto c = keyer.step([&] {
                    ++reads;
                    return lines;
                }))
                out += *c;
            tones += keyer.toneOn() ? '#' : '.';
        }
        return out;
    }

    // The elements sounded so far, as dots and dashes: ".-." for a dot, a dash and a dot.
    std::string elements() const {
        std::string out;
        std::size_t i = 0;
        while ((i = tones.find('#', i)) != std::string::npos) {
            std::size_t end = tones.find('.', i);
            if (end == std::string::npos)
                end = tones.size();
            out += end - i > static_cast<std::size_t>(keyer.dotTicks()) ? '-' : '.';
            i = end;
        }
        return out;
    }

    PaddleKeyer keyer;
    std::string tones;  // one '#' (tone) or '.' (silence) per tick
    int reads = 0;
};

}  // namespace keytut::testing
