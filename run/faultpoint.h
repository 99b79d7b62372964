#pragma once

// KOVA_FAULT_POINT(name) marks a place where a stopped process must leave the
// customer's files whole, or where runs started together must not get in each
// other's way. A test build (KOVA_FAULT_POINTS defined) kills itself there
// with SIGKILL when KOVA_FAULT_AT names the point, so a test can look at
// exactly what such a run leaves behind; when KOVA_HOLD_AT names it, it makes
// the file KOVA_HOLD_UNTIL plus ".held." and its process id there and waits
// until the file KOVA_HOLD_UNTIL exists, so that several runs pass the point
// at one moment. In the shipped program the mark is nothing at all, and
// no environment variable changes what it does.
#ifdef KOVA_FAULT_POINTS

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QThread>

#include <csignal>

namespace kova {

inline void faultPoint(const char* name)
{
    if (qgetenv("KOVA_FAULT_AT") == name)
        std::raise(SIGKILL);
    if (qgetenv("KOVA_HOLD_AT") == name) {
        const QString until = QString::fromLocal8Bit(qgetenv("KOVA_HOLD_UNTIL"));
        QFile(until + QStringLiteral(".held.") + QString::number(QCoreApplication::applicationPid()))
            .open(QIODevice::WriteOnly);
        while (!QFile::exists(until))
            QThread::msleep(1);
    }
}

} // namespace kova

#define KOVA_FAULT_POINT(name) ::kova::faultPoint(name)

#else

#define KOVA_FAULT_POINT(name) static_cast<void>(0)

#endif
