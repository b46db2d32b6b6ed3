// The punctuation screen: the learner plays each punctuation mark and prosign of the group on
// demand and learns its name.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/tutor.h"

namespace keytut {

inline constexpr std::string_view kPunctuationTitle = "Punctuation";
inline constexpr std::string_view kPunctuationHeading =
    "Familiarise yourself with these punctuation characters";

struct Sign {
    char character;
    // Earkey spells letter pairs with blanks so that a screen reader names the letters.
    std::string_view earkeyCaption;
    std::string_view keyviewCaption;
    std::string_view description;  // Keyview's label beside the button
};

inline constexpr std::array<Sign, 8> kSigns{{
    {'+', "C T Start of Message", "CT", "Start of Message"},
    {'@', "A R End of Message", "AR", "End of Message"},
    {'!', "V A End of Q S O", "VA", "End of Transmission"},
    {'=', "B T Pause", "BT", "Pause"},
    {'/', "Slash", "/", "Slash"},
    {'.', "Full Stop", ".", "Full Stop"},
    {',', "Comma", ",", "Comma"},
    {'?', "Question Mark", "?", "Question Mark"},
}};

// The row of the sign table for `c`, or nullptr.
const Sign* findSign(char c);

// The screen answers the first ten characters of a group; buttons for more would not fit.
constexpr int kMaxSignButtons = 10;

struct SignButton {
    char character;
    std::string earkeyCaption;
    std::string keyviewCaption;
    std::string description;
};

// One button per character of the group, in order, at most ten. A character outside the sign
// table (a letter among the marks) is captioned with the character itself in both editions and
// has no description: the learner sees and hears which character the button plays.
std::vector<SignButton> signButtons(std::string_view lessonText);

class PunctuationLesson {
  public:
    // Opens over the lesson's group; no sign has been played yet.
    PunctuationLesson(Tutor& tutor, std::string_view lessonText);

    const std::vector<SignButton>& buttons() const { return buttons_; }

    // The button `index` (0 for the first) was pressed: plays its sign and returns it. An index
    // past the last button does nothing.
    std::optional<char> play(std::size_t index);

    // Earkey's Return: the text of the message box, the sign last played (empty before any).
    // After the box has been dismissed the screen calls afterOkMessage(), which plays the first
    // sign if none had been played; it returns what it played.
    std::string okMessage() const;
    std::optional<char> afterOkMessage();

  private:
    Tutor& tutor_;
    std::vector<SignButton> buttons_;
    std::string played_;  // the sign last played
};

}  // namespace keytut
