// Keyview's two decode screens: the decoded text in a large box, the "Timings" button for the
// report (straight key), the Close box to leave.
#pragma once

#include "platform/keys/key_screen.h"

namespace keyview {

keytut::keys::KeyScreenLayout straightKeyLayout();
keytut::keys::KeyScreenLayout paddleKeyLayout();

}  // namespace keyview
