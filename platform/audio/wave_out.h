// The WaveOut interface lives in the core (core/wave_out.h), which the sender is written against;
// the backends in this folder implement it.
#pragma once

#include "core/wave_out.h"
