#pragma once

#include <condition_variable>
#include <mutex>
#include <optional>

// Where an export's thread waits on the window: for the batches of rows it
// sent to be served (at most limit of them wait there), or for the answer to
// a question. close() ends both waits for good: rows pass, and a question
// asked or to come reads as no, so a stop, or a form going away, never waits
// on the window.
class WindowGate final
{
public:
    explicit WindowGate(int limit) : m_limit(limit) {}

    // The export's thread, before it sends a batch.
    void enter();
    // The window's thread, once it has served one.
    void leave();
    // The window's thread: the user's answer.
    void answer(bool yes);
    // The export's thread, once the question is on its way: the answer.
    bool awaitAnswer();
    void close();

private:
    const int m_limit;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_inFlight = 0;
    std::optional<bool> m_answer;
    bool m_closed = false;
};
