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

} // namespace

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
    // A register that cannot be read was asked about before this; the stored
    // number then stands alone.
    const qint64 registered = BatchRegister(registerPathFor(settingsPath))
                                  .highestHeaderId(batchTypeName(BatchType::Transfer));
    const qint64 free = qMax<qint64>(qMax(stored, registered + 1), 1);
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
