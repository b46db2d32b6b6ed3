// A simulated key: a script of the line states over time, for tests, benchmarks and
// demonstrations. One line per change, "MILLISECONDS STATE", the time counted from the port's
// opening and never going back, STATE one of "-", "CTS", "DSR" and "CTS+DSR"; "#" starts a
// comment. Before the first line every line is open.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "key_source.h"

namespace keytut {

struct SimKeyChange {
    std::int64_t ms = 0;
    std::uint32_t lines = 0;
};

struct SimKeyScript {
    std::vector<SimKeyChange> changes;
    // The lines at `ms` after the opening.
    std::uint32_t linesAt(std::int64_t ms) const;
    // When the last change happens.
    std::int64_t endMs() const { return changes.empty() ? 0 : changes.back().ms; }
    // When the first change after `ms` happens; nothing after the last.
    std::optional<std::int64_t> nextChangeAfter(std::int64_t ms) const;
};

// Parses a script; on a fault, `error` says which line and why, and nothing is returned.
std::optional<SimKeyScript> parseSimKeyScript(const std::string& text, std::string& error);

// The script written out again, one change per line.
std::string formatSimKeyScript(const SimKeyScript& script);

class SimulatedKey : public KeySource {
  public:
    // `elapsedMs` tells the time since the port was opened.
    SimulatedKey(SimKeyScript script, std::function<std::int64_t()> elapsedMs)
        : script_(std::move(script)), elapsedMs_(std::move(elapsedMs)) {}
    std::uint32_t readKeyLines() override { return script_.linesAt(elapsedMs_()); }
    std::optional<std::int64_t> msUntilChange() const override {
        const std::int64_t now = elapsedMs_();
        const auto next = script_.nextChangeAfter(now);
        return next ? *next - now : kNever;
    }

  private:
    SimKeyScript script_;
    std::function<std::int64_t()> elapsedMs_;
};

// The largest key script read: a change takes some ten bytes, so this is days of keying, and a
// larger file is a mistake that would hold the screen up and fill the memory.
constexpr std::uintmax_t kMaxKeyScriptBytes = std::uintmax_t{16} << 20;

// Opens the script file `path` for the port typed as `portText`, the way every file of the tutor
// is read: only a regular file, opened without waiting, of at most kMaxKeyScriptBytes. A folder,
// a FIFO or a device of that name is no key ("Can't open port N"); a file that cannot be read,
// is too large or holds a fault gives a message that names it.
KeyPortResult openSimulatedKey(const std::string& path, const std::string& portText,
                               std::function<std::int64_t()> elapsedMs);

}  // namespace keytut
