#include "clock.h"

namespace kova {
namespace {

std::function<QDateTime()>& clock()
{
    static std::function<QDateTime()> current;
    return current;
}

} // namespace

QDateTime now()
{
    return clock() ? clock()() : QDateTime::currentDateTime();
}

QDate today()
{
    return now().date();
}

void setClock(std::function<QDateTime()> c)
{
    clock() = std::move(c);
}

} // namespace kova
