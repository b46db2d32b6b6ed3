#include "hand_keying.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <random>
#include <vector>

#include "key_source.h"
#include "paddle.h"

namespace keytut {

namespace {

class Jitter {
  public:
    Jitter(double sigma, std::uint64_t seed) : sigma_(sigma), engine_(seed) {}
    // A length off by a random fraction of itself.
    double apply(double length) {
        if (sigma_ <= 0.0)
            return length;
        double f = std::clamp(normal_(engine_) * sigma_, -0.3, 0.3);
        return length * (1.0 + f);
    }

  private:
    double sigma_;
    std::mt19937_64 engine_;
    std::normal_distribution<double> normal_{0.0, 1.0};
};

unsigned char capital(char ch) {
    return static_cast<unsigned char>(std::toupper(static_cast<unsigned char>(ch)));
}

// The elements (1 dot, 3 dash) of each character of `text`, a blank as an empty entry.
std::vector<std::vector<int>> elementsOf(const std::string& text, const CodeTable& codes) {
    std::vector<std::vector<int>> out;
    for (char ch : text) {
        if (ch == ' ') {
            out.push_back({});
            continue;
        }
        auto c = capital(ch);
        std::vector<int> elements;
        for (auto e : codes.codeElements[c]) {
            if (e == 0)
                break;
            elements.push_back(e);
        }
        if (!elements.empty())
            out.push_back(std::move(elements));
    }
    return out;
}

std::int64_t ms(double t) {
    return static_cast<std::int64_t>(std::llround(t));
}

}  // namespace

std::optional<KeyingShape> parseKeyingShape(const std::string& text) {
    std::vector<double> values;
    std::size_t start = 0;
    while (start <= text.size()) {
        const auto end = std::min(text.find(',', start), text.size());
        const std::string field = text.substr(start, end - start);
        char* stop = nullptr;
        const double value = std::strtod(field.c_str(), &stop);
        if (field.empty() || *stop != '\0' || !(value > 0.0) || value > 100.0)
            return std::nullopt;
        values.push_back(value);
        start = end + 1;
    }
    if (values.size() != 5)
        return std::nullopt;
    return KeyingShape{values[0], values[1], values[2], values[3], values[4]};
}

bool keyable(char c, const CodeTable& codes) {
    return codes.codeElements[capital(c)][0] != 0;
}

SimKeyScript keyStraight(const std::string& text, const CodeTable& codes, const HandKeying& how) {
    const double unit = 1200.0 / how.wpm;
    const KeyingShape& shape = how.shape;
    Jitter jitter(how.jitter, how.seed);
    SimKeyScript script;
    double t = static_cast<double>(how.leadInMs);
    bool first = true;
    double gap = 0.0;  // the gap owed before the next character, in units
    for (const auto& elements : elementsOf(text, codes)) {
        if (elements.empty()) {
            gap = shape.wordGap;
            continue;
        }
        for (std::size_t i = 0; i < elements.size(); ++i) {
            if (!first)
                t += jitter.apply(unit * (i == 0 ? gap : shape.elementGap));
            first = false;
            script.changes.push_back({ms(t), MS_CTS_ON});
            t += jitter.apply(unit * (elements[i] == 1 ? shape.dot : shape.dash));
            script.changes.push_back({ms(t), 0});
        }
        gap = shape.characterGap;
    }
    return script;
}

SimKeyScript keyPaddles(const std::string& text, const CodeTable& codes, const HandKeying& how) {
    const std::int32_t dot = paddleDotTicks(std::to_string(how.wpm));
    const double tick = 5.0;
    const double check = (dot + 1) * tick;  // from one check to the next while nothing sounds
    Jitter jitter(how.jitter, how.seed);
    SimKeyScript script;
    // The first check that can start an element after the lead-in.
    double t = std::ceil(static_cast<double>(how.leadInMs) / check) * check;
    auto hold = [&](std::uint32_t paddle, double at, double length) {
        double close = at - jitter.apply(dot * tick / 2.0);
        double open = at + jitter.apply(length / 2.0);
        script.changes.push_back({ms(close), paddle});
        script.changes.push_back({ms(open), 0});
    };
    bool afterCharacter = false;
    for (const auto& elements : elementsOf(text, codes)) {
        if (elements.empty()) {
            // A blank comes at the fifth idle check; the next element at the sixth.
            t += 3 * check;
            continue;
        }
        if (afterCharacter)
            t += 2 * check;  // the character is output at the second idle check
        for (int e : elements) {
            double length = e * dot * tick;
            hold(e == 1 ? MS_CTS_ON : MS_DSR_ON, t, length);
            t += length + check;  // the element, then the gap to the next check
        }
        afterCharacter = true;
    }
    return script;
}

}  // namespace keytut
