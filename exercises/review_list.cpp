#include "review_list.h"

#include <algorithm>

namespace keytut {

void ReviewList::clear() {
    for (auto& entry : entries_)
        entry.clear();
    index_ = 0;
}

void ReviewList::fill(const std::vector<std::string>& items) {
    clear();
    for (std::size_t i = 0; i < items.size() && i < static_cast<std::size_t>(kLastEntry); ++i)
        entries_[i + 1] = items[i];
}

void ReviewList::set(int entry, std::string item) {
    if (entry >= 1 && entry <= kLastEntry)
        entries_[static_cast<std::size_t>(entry)] = std::move(item);
}

std::optional<int> ReviewList::down() {
    const int next = index_ + 1;
    if (next > kLastEntry || entries_[static_cast<std::size_t>(next)].empty())
        return std::nullopt;
    index_ = next;
    return next;
}

std::optional<int> ReviewList::up() {
    if (index_ <= 1)
        return std::nullopt;
    return --index_;
}

void ReviewList::show(int entry) {
    index_ = std::clamp(entry, 0, kLastEntry);
}

const std::string& ReviewList::operator[](int entry) const {
    static const std::string none;
    if (entry < 0 || entry > kLastEntry)
        return none;
    return entries_[static_cast<std::size_t>(entry)];
}

}  // namespace keytut
