#include "windowgate.h"

void WindowGate::enter()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return m_closed || m_inFlight < m_limit; });
    ++m_inFlight;
}

void WindowGate::leave()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        --m_inFlight;
    }
    m_changed.notify_all();
}

void WindowGate::answer(bool yes)
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_answer = yes;
    }
    m_changed.notify_all();
}

bool WindowGate::awaitAnswer()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return m_closed || m_answer.has_value(); });
    const bool yes = !m_closed && m_answer.value_or(false);
    m_answer.reset();
    return yes;
}

void WindowGate::close()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_closed = true;
    }
    m_changed.notify_all();
}
