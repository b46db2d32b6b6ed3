#include "quiet_libraries.h"

#include <dlfcn.h>

namespace audio {

namespace {

// ALSA's snd_lib_error_handler_t.
extern "C" void dropAlsaReport(const char*, int, const char*, int, const char*, ...) {}
// JACK's error and information callbacks.
extern "C" void dropJackReport(const char*) {}

// The libraries are reached through the symbols of the libraries already loaded (PortAudio
// links them): where one is missing there is nothing of it to silence.
template <class Setter, class Handler>
void install(const char* setterName, Handler handler) {
    if (void* symbol = dlsym(RTLD_DEFAULT, setterName))
        reinterpret_cast<Setter>(symbol)(handler);
}

}  // namespace

void quietSoundLibraries() {
    using AlsaHandler = void (*)(const char*, int, const char*, int, const char*, ...);
    using JackHandler = void (*)(const char*);
    install<int (*)(AlsaHandler)>("snd_lib_error_set_handler", &dropAlsaReport);
    install<void (*)(JackHandler)>("jack_set_error_function", &dropJackReport);
    install<void (*)(JackHandler)>("jack_set_info_function", &dropJackReport);
}

}  // namespace audio
