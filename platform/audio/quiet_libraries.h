// The sound libraries under PortAudio (ALSA, JACK) print what they find while PortAudio probes
// for devices: some thirty lines on a machine without a sound card or JACK server. None of it
// is meant for a learner.
#pragma once

namespace audio {

// Hands those libraries' own error and information reports to a handler that drops them. Call
// before the first PortAudio call. The program's own messages, and everything else on stderr,
// are untouched.
void quietSoundLibraries();

}  // namespace audio
