// Earkey's two decode screens: each decoded character is spoken, F1 gives the timing report
// (straight key), Escape leaves.
#pragma once

#include "platform/keys/key_screen.h"

namespace earkey {

keytut::keys::KeyScreenLayout straightKeyLayout();
keytut::keys::KeyScreenLayout paddleKeyLayout();

}  // namespace earkey
