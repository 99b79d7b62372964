#include "headeridreservation.h"

#include "transfersettings.h"

#include "export/settingsfile.h"

#include <QLockFile>
#include <QSettings>

namespace {

// The lock is held for one read and one write of a small file. A lock file
// older than this was left by a run that stopped (an empty one, by a run
// stopped while creating it) and is taken over instead of waited for.
constexpr int staleAfterMs = 1000;
constexpr int waitMs = 10000;

constexpr qint64 largestHeaderId = 99999999;

const QString notSaved = QStringLiteral("Settings could not be saved");

} // namespace

HeaderIdReservation reserveHeaderId(const QString& settingsPath, std::optional<qint64> typed)
{
    HeaderIdReservation reservation;
    QLockFile lock(settingsPath + QStringLiteral(".headerid.lock"));
    lock.setStaleLockTime(staleAfterMs);
    if (!lock.tryLock(waitMs)) {
        reservation.refusal = notSaved;
        return reservation;
    }

    QSettings settings(settingsPath, QSettings::IniFormat);
    settings.beginGroup(transferGroup());
    const qint64 stored = settings.value(QStringLiteral("HeaderID"), 0).toLongLong();
    reservation.used = typed ? *typed : qMax<qint64>(stored, 1);
    if (reservation.used > largestHeaderId) {
        reservation.refusal = QStringLiteral("Max value of Header ID is 99999999");
        return reservation;
    }
    reservation.next = qMax(stored, reservation.used) + 1;
    settings.setValue(QStringLiteral("HeaderID"), reservation.next);
    if (!kova::syncSettings(settings))
        reservation.refusal = notSaved;
    return reservation;
}
