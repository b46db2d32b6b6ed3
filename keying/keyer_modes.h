// The paddle keyer's modes: which element comes next, given the paddles.
//
// The keyer's clock (PaddleKeyer) makes every element and gap; at each check (nothing sounds and
// no gap runs) it asks its mode for the next element. Modes with paddle memory also see the
// paddles at every tick between two checks, so that a paddle closed during an element or the gap
// after it is not lost.
//
// - Plain: the paddles are read at the checks only and nothing is remembered; both paddles give
//   the element after the one before (dot after dash, dash after dot, a dot on a fresh screen).
//   The program's keyer from the start, and still the default.
// - Iambic A: as plain, with paddle memory: the opposite paddle closed at any tick of an element
//   or its gap is sent next, even when let go by then. When both paddles are let go after a
//   squeeze, the memory is forgotten: the element that sounds is the last.
// - Iambic B (Curtis B): as iambic A, but letting go of a squeeze keeps the memory, so the
//   element that sounds is followed by one opposite element.
// - Ultimatic: the paddle closed last wins while both are held (dot, dash, dash, ... when the
//   dash paddle is closed after the dot paddle); letting go of it hands over to the other one.
//   A paddle closed and let go between two checks is sent once.
//
// A squeeze begun from rest starts with the paddle closed first (the dot when both close in the
// same tick), in the iambic modes and in ultimatic.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace keytut {

enum class KeyerMode { Plain, IambicA, IambicB, Ultimatic };

// Every mode, in the order a list offers them.
const std::vector<KeyerMode>& keyerModes();
// The name kept in the settings and typed after --keyer: "plain", "iambic-a", "iambic-b",
// "ultimatic".
std::string keyerModeName(KeyerMode mode);
std::optional<KeyerMode> keyerModeFromName(const std::string& name);
// What the learner reads or hears: "Iambic, no paddle memory", "Iambic A", "Iambic B",
// "Ultimatic".
std::string keyerModeTitle(KeyerMode mode);

class ElementChooser {
  public:
    static constexpr std::uint32_t kDot = 0x10;   // CTS
    static constexpr std::uint32_t kDash = 0x20;  // DSR
    static constexpr std::uint32_t kBoth = kDot | kDash;

    virtual ~ElementChooser() = default;
    // Whether watch() wants the paddles between the checks.
    virtual bool watchesBetweenChecks() const = 0;
    // A tick between two checks (an element sounds, or the gap after it runs): the paddles now.
    virtual void watch(std::uint32_t paddles) { (void)paddles; }
    // A check: the paddles now. Returns the element to sound: 1 a dot, 3 a dash, 0 nothing.
    virtual int next(std::uint32_t paddles) = 0;
};

std::unique_ptr<ElementChooser> makeElementChooser(KeyerMode mode);

}  // namespace keytut
