// The two editions, for tests parameterised over both: each stands for its program's profile.
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "exercises/edition_profiles.h"

namespace keytut {

enum class Edition { Earkey, Keyview };

inline const EditionProfile& profileOf(Edition edition) {
    return edition == Edition::Earkey ? kEarkeyProfile : kKeyviewProfile;
}

inline std::string nameOf(Edition edition) {
    return edition == Edition::Earkey ? "Earkey" : "Keyview";
}

// So that a failure says which edition it was in rather than "4-byte object <01-00 00-00>".
inline void PrintTo(Edition edition, std::ostream* out) {
    *out << nameOf(edition);
}

// Both editions, each test named after its edition:
//
//     INSTANTIATE_TEST_SUITE_P(BothEditions, Suite, kBothEditions, editionName);
inline const auto kBothEditions = ::testing::Values(Edition::Earkey, Edition::Keyview);

inline std::string editionName(const ::testing::TestParamInfo<Edition>& info) {
    return nameOf(info.param);
}

}  // namespace keytut
