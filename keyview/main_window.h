// Keyview's main window: numbered lesson buttons with each group written beside them, short
// practice buttons with mnemonics and a description, and the settings.
#pragma once

#include "platform/ui/menu_window.h"

namespace keyview {

extern const keytut::ui::MenuLayout kMainWindow;

}  // namespace keyview
