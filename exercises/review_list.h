// What the last test sent, for Earkey's cursor keys to read back one item at a time: the group
// test's groups, the thirty-word test's words, a QSO's lines.
//
// Entry 0 is always empty and is where the list starts, so that the first Down shows entry 1.
// At most kLastEntry items are kept. Down moves to the next entry if it holds an item; Up moves
// back down to entry 1. Neither moves past an end.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace keytut {

class ReviewList {
  public:
    static constexpr int kLastEntry = 30;

    // Empties the list; nothing is shown.
    void clear();
    // Replaces the list with `items` in entries 1 on (those past kLastEntry are left out);
    // nothing is shown yet.
    void fill(const std::vector<std::string>& items);
    // Puts one item into entry `entry` (1 to kLastEntry; others are ignored).
    void set(int entry, std::string item);

    // The entry now shown (0: none), and moving it. Each returns the entry now shown, or
    // nothing (and changes nothing) at either end.
    int index() const { return index_; }
    std::optional<int> down();
    std::optional<int> up();
    // Shows entry `entry`, kept within the list.
    void show(int entry);

    const std::string& operator[](int entry) const;
    const std::string& shown() const { return (*this)[index_]; }
    bool operator==(const ReviewList&) const = default;

  private:
    std::array<std::string, kLastEntry + 1> entries_{};
    int index_ = 0;
};

}  // namespace keytut
