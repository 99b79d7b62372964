#pragma once

// KOVA_FAULT_POINT(name) marks a place where a stopped process must leave the
// customer's files whole. A test build (KOVA_FAULT_POINTS defined) kills
// itself there with SIGKILL when KOVA_FAULT_AT names the point, so a test can
// look at exactly what such a run leaves behind; in the shipped program the
// mark is nothing at all, and no environment variable changes what it does.
#ifdef KOVA_FAULT_POINTS

#include <QByteArray>

#include <csignal>

namespace kova {

inline void faultPoint(const char* name)
{
    if (qgetenv("KOVA_FAULT_AT") == name)
        std::raise(SIGKILL);
}

} // namespace kova

#define KOVA_FAULT_POINT(name) ::kova::faultPoint(name)

#else

#define KOVA_FAULT_POINT(name) static_cast<void>(0)

#endif
