// The straight-key decoder: marks and spaces measured in 5 ms ticks, sorted into dots, dashes and
// gaps by thresholds that follow the learner's own average dot and dash, decoded with the code
// table's tree, and the timing report (dot-to-dash ratio, word speed, character speed).
//
// The decoder knows nothing of the port, the sound or the screen. The screen feeds it, once per
// side-tone tick and in this order: the key lines it has just read (keyLines), the tick itself
// (tick), then flushIfDue. Whatever is decoded comes back as a KeyedCharacter for the screen to
// show; the whole text so far is decodedText().
//
// Its state lives as long as the program: a visit of the screen starts again from the 12 wpm
// averages with a new measurement (beginVisit) but keeps the pending character and the line
// state last seen.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/code_table.h"
#include "core/edition_profile.h"
#include "timing_statistics.h"

namespace keytut {

// What a character output adds to the decoded text.
struct KeyedCharacter {
    std::string character;  // as shown: Earkey's prosign texts ("CT"), "" for nothing
    std::string separator;  // " " after a word gap, otherwise ""
};

// Four prosigns shown as their letters (EditionProfile::prosignsAsLetters), each prefixed by
// `lead`: "+" CT, "@" AR, "!" VA and "=" BT followed by a line end. Other characters stay as they
// are.
std::string prosignText(const std::string& character, const char* lead);

class StraightKeyDecoder {
  public:
    static constexpr std::uint32_t kKeyLineMask = 0x10;  // CTS: the straight key

    // `seconds` reads a clock that never goes back (a monotonic clock in whole seconds is
    // enough; the decoder rounds milliseconds itself). It times the word speed.
    using MillisecondClock = std::function<std::int64_t()>;

    StraightKeyDecoder(const CodeTable& codes, const EditionProfile& profile,
                       MillisecondClock clock);

    // A visit of the screen starts: a new measurement (as after a report), the key is up, and the
    // averages and thresholds are those of 12 wpm. A character pending from the last visit is
    // kept.
    void beginVisit();

    // The modem-status word just read. A change of the CTS line ends a mark or a space; the
    // character a space ends is returned (possibly empty when the code was discarded).
    std::optional<KeyedCharacter> keyLines(std::uint32_t modemStatus);
    // One side-tone tick passed: counted as mark while the key is down, else as space.
    void tick();
    // A character still pending after a pause of more than twice the word threshold is output.
    std::optional<KeyedCharacter> flushIfDue();

    // Nothing pending and the key up for a word gap at least: from then on, ticks with the key
    // up change nothing that is shown or timed (the next key-down starts a new word either way),
    // so they may be counted in one go by rest().
    bool resting() const {
        return keyDown_ == 0 && elementCode_ == 0 && spaceTicks_ >= wordThreshold_;
    }
    // `ticks` ticks with the key up, as that many tick() and flushIfDue() would count them.
    void rest(std::int64_t ticks);

    // The timing report's text; afterwards the text is emptied and a new measurement starts
    // (the averages and thresholds are kept).
    std::string timingReport() const;
    void startNewMeasurement();

    bool keyDown() const { return keyDown_ != 0; }
    const std::string& decodedText() const { return decodedText_; }
    // Every mark and space of this measurement as it was sorted, in order. A space that ended in
    // a flush (a pause of more than twice the word threshold) is no gap and is left out.
    const std::vector<TimedElement>& timedElements() const { return timed_; }

    // For tests and the report.
    std::int32_t markTicks() const { return markTicks_; }
    std::int32_t spaceTicks() const { return spaceTicks_; }
    std::int32_t dotAverage() const { return dotAverage_; }
    std::int32_t dashAverage() const { return dashAverage_; }
    std::int32_t markThreshold() const { return markThreshold_; }
    std::int32_t wordThreshold() const { return wordThreshold_; }
    std::int32_t elementCode() const { return elementCode_; }
    std::int32_t unitCount() const { return unitCount_; }

  private:
    void onKeyReleased();
    std::optional<KeyedCharacter> onKeyPressed();
    std::int64_t wholeSeconds() const;

    const CodeTable& codes_;
    const EditionProfile& profile_;
    MillisecondClock clock_;

    std::string decodedText_;
    std::uint32_t keyDown_ = 0;
    std::uint32_t previousStatus_ = 0;
    std::int32_t markTicks_ = 0;
    std::int32_t spaceTicks_ = 0;
    std::int32_t dotAverage_ = 20;
    std::int32_t dashAverage_ = 60;
    std::int32_t markThreshold_ = 36;
    std::int32_t wordThreshold_ = 102;
    std::int32_t elementCode_ = 0;
    std::int32_t unitCount_ = 0;
    bool keyingStarted_ = false;
    // Monotonic seconds at the end of the first mark and at the last character; a clock that
    // does not wrap at midnight keeps the elapsed time right when the keying crosses it.
    std::optional<std::int64_t> startSeconds_;
    std::int64_t endSeconds_ = 0;
    std::vector<TimedElement> timed_;
    bool flushedInSpace_ = false;
};

// The report's text for the given state: "Dot to dash ratio: 1:3.0", CR LF, "Word speed: 12",
// CR LF, "Character speed: 12"; Keyview adds " WPM" after each speed.
std::string timingReportText(std::string_view speedUnit, std::int32_t dotAverage,
                             std::int32_t dashAverage, std::int32_t unitCount,
                             std::int64_t elapsedSeconds);

}  // namespace keytut
