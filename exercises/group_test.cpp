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

std::optional<std::string> startGroupTest(Tutor& tutor, std::string_view characters,
                                          ReviewList* review, Sender::TextDone sent) {
    if (characters.empty())
        return std::nullopt;
    GroupTestDraw draw = drawGroupTest(tutor.random, characters);
    if (review)
        review->fill({draw.groups.begin(), draw.groups.end()});
    tutor.sender.play(draw.text, std::move(sent));
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

}  // namespace keytut
