#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace kova {

// A request to stop an export, made on one thread and seen on another; and
// the export's last moment to heed one, which a question that offers to stop
// it holds until it is answered, so that the batch is never written under a
// question whose Yes would then stop nothing.
class CancelToken final
{
public:
    void cancel()
    {
        m_cancelled = true;
        release();
    }
    // Seen once a row: no lock.
    bool cancelled() const { return m_cancelled; }

    // The asking side: holds the export before it commits. False when it has
    // already passed that point, and nothing is held: the batch is its own.
    bool hold()
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (m_committed)
            return false;
        m_held = true;
        return true;
    }
    // The question was answered No: the export goes on.
    void release()
    {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_held = false;
        }
        m_changed.notify_all();
    }

    // The export's side, at the last moment a stop leaves nothing behind:
    // waits out a hold, then false when stopped, else past it for good.
    bool commit()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_held; });
        m_committed = !m_cancelled;
        return m_committed;
    }

private:
    std::atomic_bool m_cancelled{false};
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_held = false;
    bool m_committed = false;
};

} // namespace kova
