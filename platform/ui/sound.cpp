#include "sound.h"

#include <samplerate.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/readable_file.h"
#include "platform/audio/wave_out.h"

namespace keytut::ui {

namespace {
// Longer sounds are cut: a reply sound is short, and nothing waits minutes for one.
constexpr sf_count_t kMaxSeconds = 10;
// A header may claim any rate and channel count; no real sound needs more than this many
// samples for ten seconds (eight channels at 192 kHz), and nothing more is ever allocated.
constexpr sf_count_t kMaxSamples = kMaxSeconds * 192000 * 8;
}  // namespace

std::optional<std::vector<std::int16_t>> loadSoundFile(const std::filesystem::path& path) {
    // Opened by the tutor's own rule, so that a FIFO or a device of that name is refused like a
    // missing file instead of blocking the program on its first wrong answer. Only the first
    // kMaxSeconds are read, whatever the file's size.
    ReadableFile opened(path, kAnySize);
    if (!opened)
        return std::nullopt;
    SF_INFO info{};
    SNDFILE* file = sf_open_fd(opened.release(), SFM_READ, &info, SF_TRUE);
    if (!file)
        return std::nullopt;
    if (info.channels < 1 || info.samplerate < 1 ||
        static_cast<sf_count_t>(info.samplerate) * info.channels > kMaxSamples / kMaxSeconds) {
        sf_close(file);
        return std::nullopt;
    }
    const sf_count_t frames = std::min<sf_count_t>(info.frames, kMaxSeconds * info.samplerate);
    std::vector<float> interleaved(static_cast<std::size_t>(frames * info.channels));
    const sf_count_t read = sf_readf_float(file, interleaved.data(), frames);
    sf_close(file);
    if (read <= 0)
        return std::nullopt;

    std::vector<float> mono(static_cast<std::size_t>(read));
    for (sf_count_t f = 0; f < read; ++f) {
        float sum = 0;
        for (int c = 0; c < info.channels; ++c) {
            sum += interleaved[static_cast<std::size_t>(f * info.channels + c)];
        }
        mono[static_cast<std::size_t>(f)] = sum / static_cast<float>(info.channels);
    }

    std::vector<float> at8000;
    if (info.samplerate == audio::kSampleRate) {
        at8000 = std::move(mono);
    } else {
        const double ratio = static_cast<double>(audio::kSampleRate) / info.samplerate;
        at8000.resize(static_cast<std::size_t>(std::ceil(static_cast<double>(read) * ratio)) + 16);
        SRC_DATA data{};
        data.data_in = mono.data();
        data.input_frames = static_cast<long>(mono.size());
        data.data_out = at8000.data();
        data.output_frames = static_cast<long>(at8000.size());
        data.src_ratio = ratio;
        if (src_simple(&data, SRC_SINC_MEDIUM_QUALITY, 1) != 0)
            return std::nullopt;
        at8000.resize(static_cast<std::size_t>(data.output_frames_gen));
    }

    std::vector<std::int16_t> samples(at8000.size());
    std::transform(at8000.begin(), at8000.end(), samples.begin(), [](float v) {
        return static_cast<std::int16_t>(std::lround(std::clamp(v, -1.0f, 1.0f) * 32767.0f));
    });
    return samples;
}

std::vector<std::int16_t> chimeSamples() {
    // Two falling notes, each dying away, about a quarter of a second in all.
    struct Note {
        double frequency;
        int length;
    };
    const Note notes[] = {{1320.0, 700}, {990.0, 1300}};
    std::vector<std::int16_t> samples;
    for (const Note& note : notes) {
        for (int i = 0; i < note.length; ++i) {
            const double t = static_cast<double>(i) / audio::kSampleRate;
            const double attack = std::min({1.0, i / 40.0, (note.length - i) / 40.0});
            const double envelope = attack * std::exp(-t * 14.0);
            const double value =
                std::sin(2.0 * std::numbers::pi * note.frequency * t) * envelope * 9000.0;
            samples.push_back(static_cast<std::int16_t>(std::lround(value)));
        }
    }
    return samples;
}

}  // namespace keytut::ui
