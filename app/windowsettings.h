#pragma once

#include <QByteArray>
#include <QRect>
#include <QString>

// What the window keeps between runs: its place on the screen, the positions
// of its two splitters and the folder its file dialogs used last. It lives
// in the settings file under a group of its own, "Window", which no
// transaction type reads, so storing it never touches their keys.
struct WindowSettings final
{
    QRect geometry;              // null when never stored
    QByteArray formSplitter;     // QSplitter::saveState of form against log
    QByteArray logSplitter;      // QSplitter::saveState of log table against processing log
    QString lastFolder;          // empty when never stored

    static WindowSettings read(const QString& settingsPath);
    // Writes the window's place and splitters; the folder is stored on its own.
    void writeLayout(const QString& settingsPath) const;
    static void writeLastFolder(const QString& settingsPath, const QString& folder);
};
