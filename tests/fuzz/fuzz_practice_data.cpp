// The practice data loader's readers on any bytes: the word list for both editions and the
// lesson groups keep to their capacities, and hold no empty entries.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/practice_data.h"
#include "exercises/edition_profiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);

    auto earkeyWords = keytut::parseWordList(text, keytut::kEarkeyProfile.wordEnding);
    auto keyviewWords = keytut::parseWordList(text, keytut::kKeyviewProfile.wordEnding);
    if (earkeyWords.size() > keytut::kMaxWords)
        std::abort();
    if (earkeyWords.size() != keyviewWords.size())
        std::abort();
    for (std::size_t i = 0; i < earkeyWords.size(); ++i) {
        if (earkeyWords[i].empty())
            std::abort();
        // Keyview's word is Earkey's with the word space after it.
        if (keyviewWords[i] != earkeyWords[i] + ' ')
            std::abort();
    }

    auto groups = keytut::parseLessonGroups(text);
    if (groups.size() > keytut::kMaxLessonGroups)
        std::abort();
    for (const std::string& group : groups) {
        if (group.find_first_not_of(" \t") == std::string::npos)
            std::abort();
    }
    return 0;
}
