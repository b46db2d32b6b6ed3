// The paddle keyer and its decoder. The keyer makes dots and dashes of exactly the character
// speed's length, counted in 5 ms ticks, each followed by a gap of one dot and a tick, and
// decodes the elements it made. Which element comes next is its mode's choice (keyer_modes.h):
// the plain mode reads the paddles only at element boundaries, the others at every tick.
//
// The screen calls step() once per side-tone tick, before that tick's tone is decided, and sets
// the tone to toneOn() afterwards. The keyer asks for the paddle states only when it needs them.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/code_table.h"
#include "core/edition_profile.h"
#include "keyer_modes.h"

namespace keytut {

// The dot length in ticks for a character speed typed as words per minute: 240 / wpm, to the
// nearest integer with halves to even (12 -> 20, 25 -> 10). A text that is not a positive number
// gives 12 wpm's 20; a speed so high that it would round to nothing gives one tick.
std::int32_t paddleDotTicks(const std::string& wpmText);

class PaddleKeyer {
  public:
    static constexpr std::uint32_t kDotPaddle = 0x10;   // CTS
    static constexpr std::uint32_t kDashPaddle = 0x20;  // DSR
    static constexpr std::uint32_t kPaddleLineMask = 0x30;

    using ReadLines = std::function<std::uint32_t()>;

    // A new visit of the screen: nothing keyed, no element running, squeezes start with a dot.
    PaddleKeyer(const CodeTable& codes, const EditionProfile& profile, std::int32_t dotTicks,
                KeyerMode mode = KeyerMode::Plain);

    // One tick. Returns the character output in this tick, if any (as shown: Earkey's prosign
    // texts, " CT"). A word blank is added to text() without being returned.
    std::optional<std::string> step(const ReadLines& readLines);

    // Nothing sounds, nothing is pending and the word blank is written: while the paddles stay
    // open, the ticks only turn the keyer's checks over, so they may be counted by rest().
    bool resting() const { return keyDown_ == 0 && elementCode_ == 0 && idleChecks_ == 7; }
    // `ticks` ticks with both paddles open, as that many step() would count them.
    void rest(std::int64_t ticks);

    // Whether this tick's buffer carries the tone.
    bool toneOn() const { return keyDown_ != 0; }
    const std::string& text() const { return paddleText_; }

    std::int32_t dotTicks() const { return dotTicks_; }
    KeyerMode mode() const { return mode_; }
    std::int32_t idleChecks() const { return idleChecks_; }
    std::int32_t elementCode() const { return elementCode_; }

  private:
    std::string output();

    const CodeTable& codes_;
    const EditionProfile& profile_;
    const std::int32_t dotTicks_;
    const KeyerMode mode_;
    std::unique_ptr<ElementChooser> chooser_;
    std::uint32_t keyDown_ = 0;  // the paddle of the element sounding
    std::int32_t ticksLeft_ = 0;
    std::int32_t idleChecks_ = 0;
    std::int32_t elementCode_ = 0;
    std::string paddleText_;
};

}  // namespace keytut
