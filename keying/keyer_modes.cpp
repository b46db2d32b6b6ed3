#include "keyer_modes.h"

namespace keytut {

namespace {

constexpr std::uint32_t kDot = ElementChooser::kDot;
constexpr std::uint32_t kDash = ElementChooser::kDash;
constexpr std::uint32_t kBoth = ElementChooser::kBoth;

int elementOf(std::uint32_t paddle) {
    return paddle == kDash ? 3 : 1;
}

// Paddles read only at the checks; a squeeze gives the element after the one before.
class PlainChooser : public ElementChooser {
  public:
    bool watchesBetweenChecks() const override { return false; }
    int next(std::uint32_t paddles) override {
        if (paddles == kBoth) {
            const int element = squeezeNext_;
            squeezeNext_ ^= 2;
            return element;
        }
        if (paddles == kDot) {
            squeezeNext_ = 3;
            return 1;
        }
        if (paddles == kDash) {
            squeezeNext_ = 1;
            return 3;
        }
        return 0;
    }

  private:
    int squeezeNext_ = 1;  // for the whole visit, across characters
};

// The paddle that closed first of those held now, for a squeeze begun from rest.
class FirstClosed {
  public:
    void see(std::uint32_t paddles) {
        const std::uint32_t closed = paddles & ~held_;
        if (closed == kBoth || (closed != 0 && held_ == 0))
            first_ = closed == kBoth ? kDot : closed;
        held_ = paddles;
    }
    std::uint32_t first() const { return first_; }

  private:
    std::uint32_t held_ = 0;
    std::uint32_t first_ = kDot;
};

class IambicChooser : public ElementChooser {
  public:
    explicit IambicChooser(bool modeB) : modeB_(modeB) {}
    bool watchesBetweenChecks() const override { return true; }

    void watch(std::uint32_t paddles) override {
        first_.see(paddles);
        if (paddles == kBoth)
            squeezed_ = true;
        // The opposite paddle, closed while this element or its gap runs.
        if (last_ == 1 && (paddles & kDash))
            memory_ |= kDash;
        if (last_ == 3 && (paddles & kDot))
            memory_ |= kDot;
        if (!modeB_ && squeezed_ && paddles == 0) {
            // Mode A: a squeeze let go ends with the element that sounds.
            memory_ = 0;
            squeezed_ = false;
        }
    }

    int next(std::uint32_t paddles) override {
        first_.see(paddles);
        const std::uint32_t wanted = paddles | memory_;
        memory_ = 0;
        int element = 0;
        if (wanted == kBoth) {
            element = last_ == 1 ? 3 : last_ == 3 ? 1 : elementOf(first_.first());
        } else if (wanted != 0) {
            element = elementOf(wanted);
        }
        last_ = element;  // 0 after a check that found nothing: the next squeeze starts afresh
        squeezed_ = paddles == kBoth;
        return element;
    }

  private:
    const bool modeB_;
    FirstClosed first_;
    int last_ = 0;              // the element started at the last check
    std::uint32_t memory_ = 0;  // paddles remembered for the next check
    bool squeezed_ = false;     // both paddles were held during this element or its gap
};

class UltimaticChooser : public ElementChooser {
  public:
    bool watchesBetweenChecks() const override { return true; }

    void watch(std::uint32_t paddles) override { see(paddles); }

    int next(std::uint32_t paddles) override {
        see(paddles);
        int element = 0;
        if (last_ != 0 && ((paddles & last_) || (tapped_ & last_)))
            element = elementOf(last_);  // held, or closed and let go since the last check
        else if (paddles != 0)
            element = elementOf(paddles);  // the other paddle, held alone
        tapped_ = 0;
        return element;
    }

  private:
    void see(std::uint32_t paddles) {
        const std::uint32_t closed = paddles & ~held_;
        if (closed != 0) {
            // Both in the same tick: neither is later; the dot starts, as everywhere.
            last_ = closed == kBoth ? kDot : closed;
            tapped_ |= closed;
        }
        held_ = paddles;
    }

    std::uint32_t held_ = 0;
    std::uint32_t last_ = 0;    // the paddle closed last
    std::uint32_t tapped_ = 0;  // paddles closed since the last check
};

struct ModeNames {
    KeyerMode mode;
    const char* name;
    const char* title;
};

const ModeNames kModeNames[] = {
    {KeyerMode::Plain, "plain", "Iambic, no paddle memory"},
    {KeyerMode::IambicA, "iambic-a", "Iambic A"},
    {KeyerMode::IambicB, "iambic-b", "Iambic B"},
    {KeyerMode::Ultimatic, "ultimatic", "Ultimatic"},
};

const ModeNames& namesOf(KeyerMode mode) {
    for (const auto& names : kModeNames) {
        if (names.mode == mode)
            return names;
    }
    return kModeNames[0];
}

}  // namespace

const std::vector<KeyerMode>& keyerModes() {
    static const std::vector<KeyerMode> modes = [] {
        std::vector<KeyerMode> all;
        for (const auto& names : kModeNames)
            all.push_back(names.mode);
        return all;
    }();
    return modes;
}

std::string keyerModeName(KeyerMode mode) {
    return namesOf(mode).name;
}

std::optional<KeyerMode> keyerModeFromName(const std::string& name) {
    for (const auto& names : kModeNames) {
        if (name == names.name)
            return names.mode;
    }
    return std::nullopt;
}

std::string keyerModeTitle(KeyerMode mode) {
    return namesOf(mode).title;
}

std::unique_ptr<ElementChooser> makeElementChooser(KeyerMode mode) {
    switch (mode) {
        case KeyerMode::IambicA:
            return std::make_unique<IambicChooser>(false);
        case KeyerMode::IambicB:
            return std::make_unique<IambicChooser>(true);
        case KeyerMode::Ultimatic:
            return std::make_unique<UltimaticChooser>();
        case KeyerMode::Plain:
            break;
    }
    return std::make_unique<PlainChooser>();
}

}  // namespace keytut
