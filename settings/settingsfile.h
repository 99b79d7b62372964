#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

class QSettings;

namespace kova {

// The settings file of a program started from programDir: "kova.ini" there
// when that folder takes writes, so a copied folder carries its settings
// along; otherwise "kova/kova.ini" in userConfigDir, so a program installed
// under a system folder can still save.
QString settingsPathFor(const QString& programDir, bool programDirWritable, const QString& userConfigDir);

// settingsPathFor the running executable's folder and the user's
// configuration folder; creates the "kova" folder there when it is chosen.
QString defaultSettingsPath();

// The settings file itself, links followed (a link that leads nowhere too)
// and its folder resolved: the one path every run on those settings shares,
// whichever link it reached them by. Empty for an empty path.
QString realSettingsPath(const QString& settingsPath);

// The lock of the export step that looks a batch up in the register, takes
// its Header ID, records it and writes the upload file; and the lock of the
// stored Header ID alone. Both beside the real settings file.
QString batchLockPath(const QString& settingsPath);
QString headerIdLockPath(const QString& settingsPath);

// Every lock file kept for the settings: the two above and the settings
// library's own, which it keeps beside the path it was given.
QStringList settingsLockPaths(const QString& settingsPath);

// Removes the lock file at lockPath when a stopped run left it empty, so no
// one waits for it; a lock that names its owner is left to the lock object,
// which takes it over only once that owner is gone.
void removeAbandonedLock(const QString& lockPath);

// Writes what the settings object holds and tells whether the file took it;
// a line the settings reader does not understand is no failure. After a
// failed write every settings object of the process reads what the file
// holds, not the values that could not be written.
bool syncSettings(QSettings& settings);

// The column indexes stored under keys in group, in key order. A group that
// holds no key of its own (it was never saved; arrays do not count) gives all
// zeros, and so does a missing key.
QVector<int> readColumnIndexes(const QString& settingsPath, const QString& group,
                               const QStringList& keys);
// The same from settings already open, outside any group.
QVector<int> readColumnIndexes(QSettings& settings, const QString& group, const QStringList& keys);

// What a mapping combo box holds after a sheet of lastColumn columns was
// chosen: an index beyond the choices means not mapped.
int effectiveColumn(int storedIndex, int lastColumn);

} // namespace kova
