#include "tutor.h"

namespace keytut {

Tutor::Tutor(Edition edition)
    : edition(edition),
      sineTable(buildSineTable(toneAmplitude(edition))),
      sender(codes, sineTable, timing) {}

bool Tutor::loadData(const std::filesystem::path& folder, MessageSink& messages) {
    if (!loadCodeTable(codes, folder, messages))
        return false;
    loadPracticeData(data, folder, edition, messages);
    return true;
}

}  // namespace keytut
