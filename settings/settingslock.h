#pragma once

#include <QLockFile>
#include <QString>

namespace kova {

// A lock file beside the settings, held while one run does what no other run
// on those settings may do at the same time. Waiting for it is bounded: a
// run that holds it does so for seconds at most, so one that waits longer is
// told to try again rather than left hanging. An empty lock file left by a
// run stopped as it created it is taken over whatever its time stamp says,
// and so is one whose owner is gone.
class SettingsLock final
{
public:
    enum class State {
        Locked,   // held by this object until it is destroyed
        Busy,     // a live run holds it
        Failed,   // the lock file cannot be made (the folder takes no files)
    };

    SettingsLock(const QString& lockPath, int waitMs);
    SettingsLock(const SettingsLock&) = delete;
    SettingsLock& operator=(const SettingsLock&) = delete;

    State state() const { return m_state; }

private:
    QLockFile m_lock;
    State m_state;
};

// The refusal while another run holds a lock of the settings.
QString settingsBusyText();

} // namespace kova
