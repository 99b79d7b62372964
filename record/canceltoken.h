#pragma once

#include <atomic>

namespace kova {

// A request to stop an export, made on one thread and seen on another.
class CancelToken final
{
public:
    void cancel() { m_cancelled = true; }
    bool cancelled() const { return m_cancelled; }

private:
    std::atomic_bool m_cancelled{false};
};

} // namespace kova
