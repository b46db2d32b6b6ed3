// Earkey's two decode screens: each decoded character is spoken, F1 gives the timing report
// (straight key), Escape leaves.
#pragma once

#include "platform/keys/key_screen.h"

namespace earkey {

// What the screen reader calls the decoded text and the last character, before their texts.
inline const char* const kDecodedTextName = "Decoded text";
inline const char* const kLastCharacterName = "Last character";

keytut::keys::KeyScreenLayout straightKeyLayout();
keytut::keys::KeyScreenLayout paddleKeyLayout();

}  // namespace earkey
