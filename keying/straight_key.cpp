#include "straight_key.h"

#include <algorithm>

#include <cctype>
#include <cmath>

#include "rounding.h"

namespace keytut {

namespace {

// The threshold factors are single-precision constants; their products with the averages are
// taken in double precision before rounding. That matters at would-be halves: 1.7f x 5 is a hair
// above 8.5 and gives 9, where an exact 1.7 would give 8.
constexpr float kWordDashFactor = 1.7f;
constexpr float kMarkDashFactor = 0.6f;
constexpr float kMarkDotFactor = 1.8f;
constexpr std::int32_t kWordDots = 5;

std::int32_t scaled(float factor, std::int32_t value) {
    return roundHalfEven(static_cast<double>(factor) * static_cast<double>(value));
}

std::string upper(const std::string& text) {
    std::string result = text;
    for (auto& c : result)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return result;
}

// A speed of the report: a blank before a number that is not negative, the minus sign otherwise.
std::string speedText(std::int32_t speed) {
    return speed < 0 ? std::to_string(speed) : " " + std::to_string(speed);
}

// The ratio with one digit after the point ("#.#"): 3.0, 0.5, 12.5; an exact half of a tenth
// goes to the even tenth, as every other rounding here does.
std::string ratioText(float ratio) {
    // A float times ten is exact in double, so a tie is seen as a tie.
    std::int32_t tenths = roundHalfEven(static_cast<double>(ratio) * 10.0);
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
}

}  // namespace

std::string prosignText(const std::string& character, const char* lead) {
    std::string l = lead;
    if (character == "+")
        return l + "CT";
    if (character == "@")
        return l + "AR";
    if (character == "!")
        return l + "VA";
    if (character == "=")
        return l + "BT\r\n";
    return character;
}

StraightKeyDecoder::StraightKeyDecoder(const CodeTable& codes, const EditionProfile& profile,
                                       MillisecondClock clock)
    : codes_(codes), profile_(profile), clock_(std::move(clock)) {}

void StraightKeyDecoder::beginVisit() {
    // A visit is a measurement of its own: units kept from an earlier visit would count against
    // a clock started afresh and inflate the word speed, and the pause between two visits is no
    // gap of the learner's keying.
    startNewMeasurement();
    keyDown_ = 0;
    dashAverage_ = 60;
    dotAverage_ = 20;
    markThreshold_ = 36;
    wordThreshold_ = 102;
}

std::int64_t StraightKeyDecoder::wholeSeconds() const {
    std::int64_t ms = clock_();
    return (ms + 500) / 1000;
}

std::optional<KeyedCharacter> StraightKeyDecoder::keyLines(std::uint32_t modemStatus) {
    keyDown_ = modemStatus & kKeyLineMask;
    if (((modemStatus ^ previousStatus_) & kKeyLineMask) == 0)
        return std::nullopt;
    std::optional<KeyedCharacter> out;
    if (keyDown_ != 0)
        out = onKeyPressed();
    else
        onKeyReleased();
    previousStatus_ = modemStatus;
    return out;
}

void StraightKeyDecoder::tick() {
    if (keyDown_ != 0)
        ++markTicks_;
    else
        ++spaceTicks_;
}

void StraightKeyDecoder::rest(std::int64_t ticks) {
    // Past the word threshold a longer space means nothing more; it is held short of overflow.
    constexpr std::int64_t kLongest = std::int64_t{1} << 30;
    spaceTicks_ = static_cast<std::int32_t>(
        std::min(kLongest, spaceTicks_ + std::max<std::int64_t>(ticks, 0)));
}

std::optional<KeyedCharacter> StraightKeyDecoder::flushIfDue() {
    if (spaceTicks_ > 2 * wordThreshold_ && elementCode_ != 0) {
        endSeconds_ = wholeSeconds();
        flushedInSpace_ = true;
        return onKeyPressed();
    }
    return std::nullopt;
}

void StraightKeyDecoder::onKeyReleased() {
    if (!startSeconds_)
        startSeconds_ = wholeSeconds();
    timed_.push_back({markTicks_ > markThreshold_ ? TimedKind::Dash : TimedKind::Dot, markTicks_});
    if (markTicks_ > markThreshold_) {
        unitCount_ += 3;
        elementCode_ = wrapping(std::int64_t{elementCode_} + 2);
        dashAverage_ = (2 * dashAverage_ + markTicks_) / 3;
        wordThreshold_ = scaled(kWordDashFactor, dashAverage_);
        markThreshold_ = scaled(kMarkDashFactor, dashAverage_);
    } else {
        unitCount_ += 1;
        elementCode_ = wrapping(std::int64_t{elementCode_} + 1);
        dotAverage_ = (2 * dotAverage_ + markTicks_) / 3;
        wordThreshold_ = kWordDots * dotAverage_;
        markThreshold_ = scaled(kMarkDotFactor, dotAverage_);
    }
    markTicks_ = 0;
}

std::optional<KeyedCharacter> StraightKeyDecoder::onKeyPressed() {
    if (!keyingStarted_) {
        // The first key-down after a report only arms the decoder.
        keyingStarted_ = true;
        spaceTicks_ = 0;
        return std::nullopt;
    }
    KeyedCharacter out;
    if (keyDown_ != 0) {
        const bool pause = flushedInSpace_;
        flushedInSpace_ = false;
        auto record = [&](TimedKind kind) {
            if (!pause)
                timed_.push_back({kind, spaceTicks_});
        };
        if (spaceTicks_ < markThreshold_) {
            record(TimedKind::ElementGap);
            // A gap between the elements of one character.
            elementCode_ = wrapping(2 * std::int64_t{elementCode_});
            unitCount_ += 1;
            spaceTicks_ = 0;
            return std::nullopt;
        }
        if (spaceTicks_ >= wordThreshold_) {
            record(TimedKind::WordGap);
            out.separator = " ";
            unitCount_ += 7;
        } else {
            record(TimedKind::CharacterGap);
            unitCount_ += 3;
        }
    }
    // Every path longer than seven elements but eight dots (255) is above 255; an overflow would
    // make it negative. Neither is a character.
    if (elementCode_ > 255 || elementCode_ < 0)
        elementCode_ = 0;
    std::string character = upper(codes_.decodeTree[static_cast<std::size_t>(elementCode_)]);
    if (profile_.prosignsAsLetters)
        character = prosignText(character, "");
    out.character = character;
    decodedText_ += out.character + out.separator;
    spaceTicks_ = 0;
    elementCode_ = 0;
    endSeconds_ = wholeSeconds();
    return out;
}

std::string StraightKeyDecoder::timingReport() const {
    std::int64_t elapsed = startSeconds_ ? endSeconds_ - *startSeconds_ : 0;
    return timingReportText(profile_.speedUnit, dotAverage_, dashAverage_, unitCount_, elapsed);
}

void StraightKeyDecoder::startNewMeasurement() {
    decodedText_.clear();
    startSeconds_.reset();
    unitCount_ = 0;
    keyingStarted_ = false;
    timed_.clear();
    flushedInSpace_ = false;
}

std::string timingReportText(std::string_view speedUnit, std::int32_t dotAverage,
                             std::int32_t dashAverage, std::int32_t unitCount,
                             std::int64_t elapsedSeconds) {
    // With no dot measured there is no ratio to give; 0.0 says so, as the speeds say 0.
    float ratio = dotAverage == 0 ? 0.0f
                                  : static_cast<float>(static_cast<double>(dashAverage) /
                                                       static_cast<double>(dotAverage));
    std::int32_t words = roundHalfEven(static_cast<double>(unitCount) / 50.0);
    std::int32_t wordSpeed =
        elapsedSeconds == 0 ? 0 : roundHalfEven(60.0 * words / static_cast<double>(elapsedSeconds));
    std::int32_t charSpeed =
        dotAverage == 0 ? 0 : roundHalfEven(940.0 / static_cast<double>(dashAverage + dotAverage));
    const std::string unit(speedUnit);
    return "Dot to dash ratio: 1:" + ratioText(ratio) + "\r\nWord speed:" + speedText(wordSpeed) +
           unit + "\r\nCharacter speed:" + speedText(charSpeed) + unit;
}

}  // namespace keytut
