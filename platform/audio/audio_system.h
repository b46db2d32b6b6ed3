// Chooses the sound backend once at start-up and opens WaveOut devices on it.
#pragma once

#include <memory>
#include <string>

#include "wave_out.h"

namespace audio {

enum class Backend {
    PortAudio,  // the sound card (default device)
    WavFile,    // everything played goes to a WAV file, clocked in real time
    Null,       // silent, paced in real time
};

struct AudioOptions {
    Backend backend = Backend::PortAudio;
    std::string wavPath;    // for WavFile
    Dispatcher dispatcher;  // how done notices reach the UI thread
};

class AudioSystem {
  public:
    virtual ~AudioSystem() = default;

    // Opens one more output stream. Never fails: if the device cannot be opened the stream
    // falls back to real-time pacing without sound (and problem() says so).
    virtual std::unique_ptr<WaveOut> open(DoneTiming timing) = 0;

    // One sentence for the learner when the requested backend could not be used (for example
    // "No sound device could be opened, so Morse will be silent: ..."); empty when all is well.
    virtual std::string problem() const = 0;
};

// Creates the backend the options ask for; falls back to Null with problem() set when the
// sound card or the WAV file cannot be opened.
std::unique_ptr<AudioSystem> createAudioSystem(const AudioOptions& options);

}  // namespace audio
