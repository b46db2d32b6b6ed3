// The lesson's key poller: every 50 ms it looks for one newly pressed letter or digit key.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/key_states.h"

namespace keytut {

// The keys the recognition stage listens to, in the order they are looked at.
inline constexpr std::string_view kPolledKeys = "ABCDEFGHIJKLMNOPQRSTUVWXYZ1234567890";

// The keys the poller looks at in a stage, in order; empty when it does not act.
// Every edition listens in the recognition stage (1), to every letter and digit; with
// `hearingPollsGroupKeys` (Keyview) also in the hearing stage (0), but only to the keys of the
// group's own characters.
// Only capital letters and digits have a key of their own: any other character of a group
// is left out rather than mapped to some unrelated key.
std::string pollCandidates(bool hearingPollsGroupKeys, int stage, std::string_view lessonText);

// One tick of the poller: asks `state` for each candidate in order and returns the first whose
// state is exactly down and newly pressed (0x8001), without asking for the ones after it. A key
// held down reads 0x8000 on the next tick and is not reported again; a second key pressed in the
// same tick is reported on a later tick only if it is still held by then.
std::optional<char> pollKeys(std::string_view candidates, const std::function<int(char)>& state);

}  // namespace keytut
