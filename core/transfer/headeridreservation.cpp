#include "headeridreservation.h"

#include "transfersettings.h"

#include "register/batchregister.h"
#include "settings/settingsfile.h"
#include "settings/settingslock.h"
#include "types/registry.h"

#include <QSettings>

namespace kova {

namespace {

// The lock is held for one read and one write of a small file.
constexpr int waitMs = 5000;

const QString notSaved = QStringLiteral("Settings could not be saved");

} // namespace

HeaderIdReservation reserveHeaderId(const QString& settingsPath, std::optional<qint64> typed)
{
    HeaderIdReservation reservation;
    const SettingsLock lock(headerIdLockPath(settingsPath), waitMs);
    if (lock.state() != SettingsLock::State::Locked) {
        reservation.refusal = lock.state() == SettingsLock::State::Busy ? settingsBusyText() : notSaved;
        return reservation;
    }

    QSettings settings(settingsPath, QSettings::IniFormat);
    settings.beginGroup(transferDescriptor().group);
    qint64 stored = 0;
    const QVariant value = settings.value(transferHeaderIdKey());
    if (value.isValid()) {
        // "4.0" or "1e3" read as a number would start the count again at 1.
        bool whole = false;
        stored = value.toString().toLongLong(&whole, 10);
        if (!whole) {
            reservation.refusal = QStringLiteral("Settings key %1/%2 is not a whole number: \"%3\"")
                                      .arg(transferDescriptor().group, transferHeaderIdKey(), value.toString());
            return reservation;
        }
    }
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
    settings.setValue(transferHeaderIdKey(), reservation.next);
    if (!syncSettings(settings))
        reservation.refusal = notSaved;
    return reservation;
}

QString headerIdUsedText(qint64 typed, qint64 free)
{
    return QStringLiteral("Header ID %1 was already used; the next free one is %2").arg(typed).arg(free);
}

} // namespace kova
