#pragma once

#include <QList>
#include <QMargins>
#include <QRect>

// Where the main window opens: 1100 x 760, centred in the available area of
// the screen (the screen minus task bar, dock or menu bar), or smaller where
// that area is, so that the window with its frame (title bar and borders,
// frame) fits: nothing of it, the progress bar and Cancel at its foot
// included, lies off the screen.
QRect mainWindowGeometry(const QRect& availableArea, const QMargins& frame = QMargins());

// Where the main window opens when a place was stored: there, if it lies
// wholly within the available area of one of the screens (a screen may have
// gone since, or shrunk); otherwise centred on the primary one.
QRect mainWindowGeometry(const QRect& stored, const QRect& primaryArea, const QList<QRect>& screenAreas);
