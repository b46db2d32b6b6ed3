// The program-wide state of either edition, created once at start-up and handed to every screen:
// the edition's profile, the data read from the data folder, the tone and speeds, the random
// source and the sender. What an exercise
// keeps (its stage, its texts, its review list) belongs to the exercise.
#pragma once

#include <filesystem>
#include <string>

#include "code_table.h"
#include "edition_profile.h"
#include "practice_data.h"
#include "random.h"
#include "sender.h"
#include "synthesis.h"

namespace keytut {

class Tutor {
  public:
    // `profile` outlives the tutor (each program's is a constant).
    explicit Tutor(const EditionProfile& profile);

    // Loads the code table and the practice material from `folder`, in that order. Returns
    // false when the code table cannot be read: the program then ends.
    bool loadData(const std::filesystem::path& folder, MessageSink& messages);

    const EditionProfile& profile;

    CodeTable codes;
    PracticeData data;
    Tone tone;
    Timing timing;
    SpeedSettings speeds;
    Random random;

    // The pitch and edges of the tone, at the edition's loudness; the next character sent
    // sounds so. A pitch that is not offered is refused with std::invalid_argument.
    void setTone(ToneSettings settings);

    // Plays texts through its own device; reads codes, tone and timing above.
    Sender sender;
};

}  // namespace keytut
