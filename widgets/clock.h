#pragma once

#include <QDate>
#include <QDateTime>

#include <functional>

namespace kova {

// The time the window goes by for its dates and proposed file names. A
// window left open overnight must see the new day; tests put another clock
// in to move the day without waiting for it.
QDateTime now();
QDate today();

// Replaces the clock; an empty function restores the system's.
void setClock(std::function<QDateTime()> clock);

} // namespace kova
