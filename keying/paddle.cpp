#include "paddle.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "rounding.h"
#include "straight_key.h"

namespace keytut {

std::int32_t paddleDotTicks(const std::string& wpmText) {
    // The value of the leading number, as the speed box holds it ("12").
    char* end = nullptr;
    double wpm = std::strtod(wpmText.c_str(), &end);
    if (end == wpmText.c_str() || !(wpm > 0.0))
        wpm = 12.0;
    std::int32_t ticks = roundHalfEven(240.0 / wpm);
    return ticks < 1 ? 1 : ticks;
}

PaddleKeyer::PaddleKeyer(const CodeTable& codes, const EditionProfile& profile,
                         std::int32_t dotTicks, KeyerMode mode)
    : codes_(codes),
      profile_(profile),
      dotTicks_(dotTicks),
      mode_(mode),
      chooser_(makeElementChooser(mode)) {}

std::optional<std::string> PaddleKeyer::step(const ReadLines& readLines) {
    if (keyDown_ == 0 && ticksLeft_ == 0) {
        // A check: nothing sounds and no gap runs.
        const int element = chooser_->next(readLines() & kPaddleLineMask);
        if (element != 0) {
            keyDown_ = element == 1 ? kDotPaddle : kDashPaddle;
            idleChecks_ = 0;
            ticksLeft_ = dotTicks_ * element;
            elementCode_ = wrapping(2 * std::int64_t{elementCode_} + (element == 1 ? 1 : 2));
        }
    } else if (chooser_->watchesBetweenChecks()) {
        chooser_->watch(readLines() & kPaddleLineMask);
    }
    if (ticksLeft_ != 0) {
        --ticksLeft_;
        return std::nullopt;
    }
    // The element or the gap has run out.
    keyDown_ = 0;
    ticksLeft_ = dotTicks_;
    if (idleChecks_ < 6)
        ++idleChecks_;
    std::optional<std::string> out;
    if (idleChecks_ > 2 && elementCode_ != 0) {
        // Codes above 255, or gone negative in a long squeeze, are no character.
        if (elementCode_ >= 1 && elementCode_ <= 255)
            out = output();
        elementCode_ = 0;
    }
    if (idleChecks_ == 6) {
        idleChecks_ = 7;
        paddleText_ += " ";
    }
    return out;
}

void PaddleKeyer::rest(std::int64_t ticks) {
    // At rest a check comes every dotTicks_ + 1 ticks and finds nothing to send; only where the
    // next check falls moves on.
    const std::int64_t period = std::int64_t{dotTicks_} + 1;
    const std::int64_t phase = (dotTicks_ - ticksLeft_ + std::max<std::int64_t>(ticks, 0)) % period;
    ticksLeft_ = static_cast<std::int32_t>(dotTicks_ - phase);
}

std::string PaddleKeyer::output() {
    std::string character = codes_.decodeTree[static_cast<std::size_t>(elementCode_)];
    for (auto& c : character)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (profile_.prosignsAsLetters)
        character = prosignText(character, " ");
    paddleText_ += character;
    return character;
}

}  // namespace keytut
