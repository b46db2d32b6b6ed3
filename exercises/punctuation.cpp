#include "punctuation.h"

namespace keytut {

const Sign* findSign(char c) {
    for (const auto& sign : kSigns) {
        if (sign.character == c)
            return &sign;
    }
    return nullptr;
}

std::vector<SignButton> signButtons(std::string_view lessonText) {
    std::vector<SignButton> buttons;
    for (char c : lessonText.substr(0, kMaxSignButtons)) {
        if (const Sign* sign = findSign(c)) {
            buttons.push_back({c, std::string(sign->earkeyCaption),
                               std::string(sign->keyviewCaption), std::string(sign->description)});
        } else {
            buttons.push_back({c, std::string(1, c), std::string(1, c), {}});
        }
    }
    return buttons;
}

PunctuationLesson::PunctuationLesson(Tutor& tutor, std::string_view lessonText)
    : tutor_(tutor), buttons_(signButtons(lessonText)) {}

std::optional<char> PunctuationLesson::play(std::size_t index) {
    if (index >= buttons_.size())
        return std::nullopt;
    char c = buttons_[index].character;
    played_.assign(1, c);
    tutor_.sender.play(played_, nullptr);
    return c;
}

std::string PunctuationLesson::okMessage() const {
    return played_;
}

std::optional<char> PunctuationLesson::afterOkMessage() {
    if (!played_.empty())
        return std::nullopt;
    return play(0);
}

}  // namespace keytut
