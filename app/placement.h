#pragma once

#include <QList>
#include <QRect>

// Where the main window opens: 1100 x 760, centred in the available area of
// the screen (the screen minus task bar, dock or menu bar).
QRect mainWindowGeometry(const QRect& availableArea);

// Where the main window opens when a place was stored: there, if it lies
// wholly within the available area of one of the screens (a screen may have
// gone since, or shrunk); otherwise centred on the primary one.
QRect mainWindowGeometry(const QRect& stored, const QRect& primaryArea, const QList<QRect>& screenAreas);
