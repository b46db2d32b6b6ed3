// Short sounds played to their end, such as "ding.wav" on a wrong answer.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace keytut::ui {

// The sound file as 16-bit mono samples at 8000 per second (channels mixed, other rates
// resampled); nothing when it is missing or cannot be read.
std::optional<std::vector<std::int16_t>> loadSoundFile(const std::filesystem::path& path);

// A short two-note chime, played where a sound file is missing.
std::vector<std::int16_t> chimeSamples();

}  // namespace keytut::ui
