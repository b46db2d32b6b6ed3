// Chooses the sound backend once at start-up and opens WaveOut devices on it.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "core/tone.h"
#include "keying/sidetone.h"
#include "wave_out.h"

namespace audio {

enum class Backend {
    PortAudio,  // the sound card (default device)
    WavFile,    // everything played goes to a WAV file, clocked in real time
    Null,       // silent, paced in real time
};

// Told, on the UI thread, of a problem that arose while playing: one sentence for the learner.
using ProblemHandler = std::function<void(const std::string& sentence)>;

struct AudioOptions {
    Backend backend = Backend::PortAudio;
    std::string wavPath;    // for WavFile
    Dispatcher dispatcher;  // how done notices reach the UI thread
    // Problems that arise later (the sound server went away, the recording had to stop), each
    // told once; problem() covers those found at start-up.
    ProblemHandler problemHandler;
    // The peak of the side-tone's sine wave (the editions' Morse tone differs in loudness).
    int sidetoneAmplitude = 5000;
};

class AudioSystem {
  public:
    virtual ~AudioSystem() = default;

    // Opens one more output stream. Never fails: if the device cannot be opened the stream
    // falls back to real-time pacing without sound (and problem() says so).
    virtual std::unique_ptr<WaveOut> open(DoneTiming timing) = 0;

    // Opens the key screens' voice, which plays (a tone of the pitch and edges given, at the
    // options' side-tone amplitude, or silence) and ticks until it is destroyed; it plays
    // alongside the WaveOut streams. Never fails, like open(), for a pitch that is offered.
    // Destroying it stops its callbacks and ticks at once.
    virtual std::unique_ptr<keytut::SidetoneVoice> openSidetone(keytut::ToneSettings tone) = 0;

    // One sentence for the learner when the requested backend could not be used (for example
    // "No sound device could be opened, so Morse will be silent: ..."); empty when all is well.
    virtual std::string problem() const = 0;
};

// Creates the backend the options ask for; falls back to Null with problem() set when the
// sound card or the WAV file cannot be opened.
std::unique_ptr<AudioSystem> createAudioSystem(const AudioOptions& options);

}  // namespace audio
