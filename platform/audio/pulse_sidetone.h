// The key screens' voice straight on a PulseAudio server (PipeWire's PulseAudio service too).
//
// Through PortAudio the voice reaches such a server by ALSA's pulse plugin: two more threads and
// a buffer of the plugin's between the callback and the server. With the server buffer short
// enough for the tone to follow the key within 15 ms (12 ms), that path underran several times a
// second on a null sink, so the tone came in pieces; with 15 ms it played clean but the tone came
// 15-16 ms after the key, and the voice took 5 % of a core. Straight to the server, 11 ms plays
// almost clean, the tone comes 13 ms after the key, and the voice takes under 2 % of a core.
// The sender's streams, which need no short buffer, stay on PortAudio.
#pragma once

#include <memory>

#include "backends.h"
#include "keying/sidetone.h"

namespace audio::detail {

// Connects to the server the environment names (or the user's default one) without starting
// one; null when none answers, and the caller uses the PortAudio voice. A server that goes away
// later is told through `outages`, the voice ticks on silently and plays again on a new server.
std::unique_ptr<keytut::SidetoneVoice> openPulseSidetone(const Dispatcher& dispatcher,
                                                         const keytut::Tone& tone,
                                                         std::shared_ptr<Outages> outages);

}  // namespace audio::detail
