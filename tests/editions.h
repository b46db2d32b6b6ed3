// The two editions, for tests parameterised over both: each stands for its program's profile.
#pragma once

#include "exercises/edition_profiles.h"

namespace keytut {

enum class Edition { Earkey, Keyview };

inline const EditionProfile& profileOf(Edition edition) {
    return edition == Edition::Earkey ? kEarkeyProfile : kKeyviewProfile;
}

}  // namespace keytut
