#include "tutor.h"

namespace keytut {

Tutor::Tutor(const EditionProfile& profile)
    : profile(profile), tone(profile.toneAmplitude), sender(codes, tone, timing) {}

void Tutor::setTone(ToneSettings settings) {
    tone = Tone(profile.toneAmplitude, settings);
}

bool Tutor::loadData(const std::filesystem::path& folder, MessageSink& messages) {
    if (!loadCodeTable(codes, folder, messages))
        return false;
    loadPracticeData(data, folder, profile.wordEnding, messages);
    return true;
}

}  // namespace keytut
