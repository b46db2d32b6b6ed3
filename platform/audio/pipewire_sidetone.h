// The key screens' voice as a native client of a PipeWire server.
//
// Through PipeWire's PulseAudio service the tone followed the key by 23-31 ms and the ticks came
// in pairs: the service runs its clients in periods of its own, longer than the buffer they ask
// for. A native stream joins PipeWire's graph itself and asks for a short period there
// (node.latency), and the tone of each period is decided in the graph's own cycle, in the
// stream's real-time thread. The sender's streams, which need no short period, stay on
// PortAudio.
#pragma once

#include <memory>

#include "backends.h"
#include "keying/sidetone.h"

namespace audio::detail {

// Connects to the PipeWire server the environment names (PIPEWIRE_REMOTE, PIPEWIRE_RUNTIME_DIR,
// XDG_RUNTIME_DIR) and plays there; null when none answers or it does not start playing the
// stream, and the caller uses the next voice. A server that goes away later is told through
// `outages`, the voice ticks on silently and plays again on a new server.
std::unique_ptr<keytut::SidetoneVoice> openPipeWireSidetone(const Dispatcher& dispatcher,
                                                            const keytut::Tone& tone,
                                                            std::shared_ptr<Outages> outages);

}  // namespace audio::detail
