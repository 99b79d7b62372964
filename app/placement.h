#pragma once

#include <QRect>

// Where the main window opens: 1100 x 760, centred in the available area of
// the screen (the screen minus task bar, dock or menu bar).
QRect mainWindowGeometry(const QRect& availableArea);
