#include "audio_system.h"

#include <sndfile.h>

#include <csignal>

#include "backends.h"

namespace audio {

namespace detail {

std::string noSoundCardProblem(const std::string& reason) {
    return "No sound card could be opened (" + reason +
           "), so the Morse code will not be heard; the exercises still run at their normal pace.";
}

}  // namespace detail

std::unique_ptr<AudioSystem> createAudioSystem(const AudioOptions& options) {
    switch (options.backend) {
        case Backend::PortAudio: {
            std::string problem;
            if (auto system = detail::createPortAudioSystem(options, problem)) {
                return system;
            }
            return std::make_unique<detail::PacedSystem>(nullptr, options, problem);
        }
        case Backend::WavFile: {
            // A write past the file-size limit then fails (and is reported) instead of ending
            // the program.
            std::signal(SIGXFSZ, SIG_IGN);
            SF_INFO info{};
            info.samplerate = kSampleRate;
            info.channels = 1;
            info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
            SNDFILE* file = sf_open(options.wavPath.c_str(), SFM_WRITE, &info);
            if (!file) {
                std::string problem = "The sound file \"" + options.wavPath +
                                      "\" could not be written (" + sf_strerror(nullptr) +
                                      "), so nothing will be recorded; the exercises still run "
                                      "at their normal pace.";
                return std::make_unique<detail::PacedSystem>(nullptr, options, std::move(problem));
            }
            return std::make_unique<detail::PacedSystem>(file, options, std::string());
        }
        case Backend::Null:
            break;
    }
    return std::make_unique<detail::PacedSystem>(nullptr, options, std::string());
}

}  // namespace audio
