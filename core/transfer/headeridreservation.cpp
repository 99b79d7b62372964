#include "headeridreservation.h"

#include "transfersettings.h"

#include "register/batchregister.h"
#include "settings/settingsfile.h"
#include "settings/settingslock.h"
#include "types/registry.h"

#include <QSettings>

namespace kova {

namespace {

const QString notSaved = QStringLiteral("Settings could not be saved");

// The refusal of a typed Header ID below the next free one.
QString headerIdUsedText(qint64 typed, qint64 free)
{
    return QStringLiteral("Header ID %1 was already used; the next free one is %2").arg(typed).arg(free);
}

// The stored number, or the one after the register's highest when that is
// later. A register that cannot be read was asked about before a reservation;
// the stored number then stands alone.
qint64 freeAfter(const QString& settingsPath, qint64 stored)
{
    const qint64 registered = BatchRegister(registerPathFor(settingsPath))
                                  .highestHeaderId(batchTypeName(BatchType::Transfer));
    return qMax<qint64>(qMax(stored, registered + 1), 1);
}

} // namespace

std::optional<qint64> nextFreeHeaderId(const QString& settingsPath)
{
    const std::optional<qint64> stored = readStoredHeaderId(QSettings(settingsPath, QSettings::IniFormat)).number;
    if (!stored)
        return std::nullopt;
    return freeAfter(settingsPath, *stored);
}

HeaderIdReservation reserveHeaderId(const QString& settingsPath, std::optional<qint64> typed)
{
    HeaderIdReservation reservation;
    const SettingsLock lock(headerIdLockPath(settingsPath), headerIdLockWaitMs);
    if (lock.state() != SettingsLock::State::Locked) {
        reservation.refusal = lock.state() == SettingsLock::State::Busy ? settingsBusyText() : notSaved;
        return reservation;
    }

    QSettings settings(settingsPath, QSettings::IniFormat);
    const StoredHeaderId storedId = readStoredHeaderId(settings);
    if (!storedId.number) {
        reservation.refusal = storedHeaderIdRefusal(storedId.text);
        return reservation;
    }
    const qint64 stored = *storedId.number;
    const qint64 free = freeAfter(settingsPath, stored);
    if (typed && *typed < free) {
        reservation.refusal = headerIdUsedText(*typed, free);
        reservation.free = free;
        return reservation;
    }
    reservation.used = typed ? *typed : free;
    if (reservation.used > largestHeaderId) {
        reservation.refusal = headerIdBoundText();
        return reservation;
    }
    reservation.next = qMax(stored, reservation.used) + 1;
    settings.beginGroup(transferDescriptor().group);
    settings.setValue(transferHeaderIdKey(), reservation.next);
    if (!syncSettings(settings))
        reservation.refusal = notSaved;
    return reservation;
}

} // namespace kova
