#include "random.h"

#include <chrono>

namespace keytut {

void Random::seedFromClock() {
    auto now = std::chrono::system_clock::now().time_since_epoch();
    seed(static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::microseconds>(now).count()));
}

}  // namespace keytut
