#pragma once

#include <QList>
#include <QMargins>
#include <QRect>

// Where the main window opens: 1280 x 900, centred in the available area of
// the screen (the screen minus task bar, dock or menu bar), or smaller where
// that area is, so that the window with its frame (title bar and borders)
// fits: nothing of it, the title bar and the progress bar and Cancel at its
// foot included, lies off the screen. Before the window is shown its frame
// is not known; the frame assumed then holds the title bars of the common
// desktops.
QMargins assumedFrame();
QRect mainWindowGeometry(const QRect& availableArea, const QMargins& frame = assumedFrame());

// Where the main window opens when a place was stored: there, if it lies
// wholly within the available area of one of the screens (a screen may have
// gone since, or shrunk); otherwise centred on the primary one.
QRect mainWindowGeometry(const QRect& stored, const QRect& primaryArea, const QList<QRect>& screenAreas);
