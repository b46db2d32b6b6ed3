#include "tutor.h"

namespace keytut {

Tutor::Tutor(const EditionProfile& profile)
    : profile(profile),
      sineTable(buildSineTable(profile.toneAmplitude)),
      sender(codes, sineTable, timing) {}

bool Tutor::loadData(const std::filesystem::path& folder, MessageSink& messages) {
    if (!loadCodeTable(codes, folder, messages))
        return false;
    loadPracticeData(data, folder, profile.wordEnding, messages);
    return true;
}

}  // namespace keytut
