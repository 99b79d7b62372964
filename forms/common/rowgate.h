#pragma once

#include <condition_variable>
#include <mutex>

// Batches of rows sent to the window and not yet served there. The export's
// thread waits in enter() while the window is limit batches behind, and is
// woken by the window's leave() or by open(), which lets it through for the
// rest of the export (a stop, or a form going away, must not wait on the
// window).
class RowGate final
{
public:
    explicit RowGate(int limit) : m_limit(limit) {}

    void enter()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_served.wait(lock, [this] { return m_open || m_inFlight < m_limit; });
        ++m_inFlight;
    }

    void leave()
    {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            --m_inFlight;
        }
        m_served.notify_all();
    }

    void open()
    {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_open = true;
        }
        m_served.notify_all();
    }

private:
    const int m_limit;
    std::mutex m_mutex;
    std::condition_variable m_served;
    int m_inFlight = 0;
    bool m_open = false;
};
