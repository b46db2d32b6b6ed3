#include "key_poller.h"

namespace keytut {

std::string pollCandidates(bool hearingPollsGroupKeys, int stage, std::string_view lessonText) {
    if (stage == 1)
        return std::string(kPolledKeys);
    if (stage == 0 && hearingPollsGroupKeys) {
        std::string keys;
        for (char c : lessonText) {
            if (kPolledKeys.find(c) != std::string_view::npos)
                keys.push_back(c);
        }
        return keys;
    }
    return {};
}

std::optional<char> pollKeys(std::string_view candidates, const std::function<int(char)>& state) {
    for (char c : candidates) {
        if ((state(c) & 0xFFFF) == (kKeyDown | kKeyPressedSinceQuery))
            return c;
    }
    return std::nullopt;
}

}  // namespace keytut
