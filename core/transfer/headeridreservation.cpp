#include "headeridreservation.h"

#include "transfersettings.h"

#include "export/settingsfile.h"

#include <QLockFile>
#include <QSettings>

namespace {

// The lock is held for one read and one write of a small file; a run that
// waits longer than this for it reports the settings as not saved.
constexpr int waitMs = 10000;

constexpr qint64 largestHeaderId = 99999999;

const QString notSaved = QStringLiteral("Settings could not be saved");

} // namespace

HeaderIdReservation reserveHeaderId(const QString& settingsPath, std::optional<qint64> typed)
{
    HeaderIdReservation reservation;
    const QString lockPath = settingsPath + QStringLiteral(".headerid.lock");
    kova::removeAbandonedLock(lockPath);
    // Never taken over by age: a live run that holds it for long (a loaded
    // machine) would otherwise share its number. A dead owner's lock the lock
    // object takes over at once.
    QLockFile lock(lockPath);
    lock.setStaleLockTime(0);
    if (!lock.tryLock(waitMs)) {
        reservation.refusal = notSaved;
        return reservation;
    }

    QSettings settings(settingsPath, QSettings::IniFormat);
    settings.beginGroup(transferDescriptor().group);
    const qint64 stored = settings.value(transferHeaderIdKey(), 0).toLongLong();
    reservation.used = typed ? *typed : qMax<qint64>(stored, 1);
    if (reservation.used > largestHeaderId) {
        reservation.refusal = QStringLiteral("Max value of Header ID is 99999999");
        return reservation;
    }
    reservation.next = qMax(stored, reservation.used) + 1;
    settings.setValue(transferHeaderIdKey(), reservation.next);
    if (!kova::syncSettings(settings))
        reservation.refusal = notSaved;
    return reservation;
}
