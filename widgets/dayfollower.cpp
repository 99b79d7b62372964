#include "dayfollower.h"

#include "widgets/clock.h"

#include <QDateEdit>
#include <QWidget>

namespace {

// The clock may jump (a machine asleep, the time set by hand): the day is
// looked at again at least this often, not only at the midnight foreseen.
constexpr qint64 longestWaitMs = 60 * 60 * 1000;
// Wakes a little past midnight rather than a moment before it.
constexpr qint64 pastMidnightMs = 50;

} // namespace

DayFollower::DayFollower(QWidget* root)
    : QObject(root)
    , m_day(kova::today())
{
    for (QDateEdit* edit : root->findChildren<QDateEdit*>()) {
        if (edit->date() != m_day)
            continue;
        m_untouched.append(edit);
        connect(edit, &QDateEdit::dateChanged, this, [this, edit] {
            if (!m_moving)
                m_untouched.removeAll(edit);
        });
    }
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &DayFollower::checkDay);
    arm();
}

void DayFollower::arm()
{
    const qint64 untilMidnight = kova::now().msecsTo(QDateTime(m_day.addDays(1), QTime(0, 0)));
    m_timer.start(int(qBound<qint64>(0, untilMidnight + pastMidnightMs, longestWaitMs)));
}

void DayFollower::checkDay()
{
    const QDate today = kova::today();
    if (today != m_day) {
        m_day = today;
        m_moving = true;
        for (QDateEdit* edit : qAsConst(m_untouched))
            if (edit)
                edit->setDate(today);
        m_moving = false;
    }
    arm();
}
