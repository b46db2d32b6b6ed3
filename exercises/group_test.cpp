#include "group_test.h"

#include <algorithm>

namespace keytut {

std::string joinedGroups(const std::vector<std::string>& lessonGroups, int lessonNumber) {
    std::string joined;
    auto count = static_cast<std::size_t>(std::max(lessonNumber, 0));
    for (std::size_t i = 0; i < count && i < lessonGroups.size(); ++i)
        joined += lessonGroups[i];
    return joined;
}

GroupTestDraw drawGroupTest(Random& random, std::string_view characters) {
    GroupTestDraw draw;
    const std::string from(characters);
    draw.text.reserve(kTestGroups * (kGroupLength + 1));
    for (auto& group : draw.groups) {
        for (int i = 0; i < kGroupLength; ++i)
            group.push_back(random.characterOf(from));
        draw.text += group;
        draw.text += ' ';
    }
    return draw;
}

std::optional<std::string> startGroupTest(Tutor& tutor) {
    if (tutor.lessonText.empty())
        return std::nullopt;
    GroupTestDraw draw = drawGroupTest(tutor.random, tutor.lessonText);
    if (tutor.edition == Edition::Earkey) {
        for (auto& entry : tutor.reviewList)
            entry.clear();
        tutor.reviewIndex = 0;
        for (int i = 0; i < kTestGroups; ++i)
            tutor.reviewList[i + 1] = draw.groups[i];
    }
    tutor.startSending(draw.text);
    return draw.text;
}

std::string spelledForm(std::string_view group) {
    std::string spelled;
    for (char c : group) {
        spelled += ' ';
        spelled += c;
    }
    return spelled;
}

// The index the list is at, kept within the list whatever another screen left in it.
static int shownEntry(const Tutor& tutor) {
    return std::clamp(tutor.reviewIndex, 0, kLastReviewEntry);
}

std::optional<int> reviewDown(Tutor& tutor) {
    int next = shownEntry(tutor) + 1;
    if (next > kLastReviewEntry || tutor.reviewList[next].empty())
        return std::nullopt;
    tutor.reviewIndex = next;
    return next;
}

std::optional<int> reviewUp(Tutor& tutor) {
    int shown = shownEntry(tutor);
    if (shown <= 1)
        return std::nullopt;
    tutor.reviewIndex = shown - 1;
    return shown - 1;
}

}  // namespace keytut
