#include "tutor.h"

namespace keytut {

Tutor::Tutor(Edition edition)
    : edition(edition), tone(toneAmplitude(edition)), sender(codes, tone, timing) {}

void Tutor::setTone(ToneSettings settings) {
    tone = Tone(toneAmplitude(edition), settings);
}

bool Tutor::loadData(const std::filesystem::path& folder, MessageSink& messages) {
    if (!loadCodeTable(codes, folder, messages))
        return false;
    loadPracticeData(data, folder, edition, messages);
    return true;
}

}  // namespace keytut
