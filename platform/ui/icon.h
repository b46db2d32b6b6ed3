// The tutor's icon, shown by every window: a dot and a dash on a dark tile.
#pragma once

#include <QIcon>
#include <QImage>

namespace keytut::ui {

QImage drawIcon(int size);
QIcon appIcon();

}  // namespace keytut::ui
