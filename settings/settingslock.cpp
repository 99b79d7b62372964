#include "settingslock.h"

#include "settingsfile.h"

namespace kova {

SettingsLock::SettingsLock(const QString& lockPath, int waitMs)
    : m_lock(lockPath)
{
    removeAbandonedLock(lockPath);
    // Never taken over by age: a live run that holds it for long (a loaded
    // machine) would otherwise work beside it. A dead owner's lock the lock
    // object takes over at once.
    m_lock.setStaleLockTime(0);
    if (m_lock.tryLock(waitMs))
        m_state = State::Locked;
    else
        m_state = m_lock.error() == QLockFile::LockFailedError ? State::Busy : State::Failed;
}

QString settingsBusyText()
{
    return QStringLiteral("Another export is using these settings; try again");
}

} // namespace kova
