#pragma once

#include <QDate>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

class QDateEdit;
class QWidget;

// A form opens with today in its date fields. Left open overnight, the fields
// the clerk has not set move on to the new day at midnight, so an untouched
// effective date never carries yesterday into a batch; a field set by hand
// keeps its date. The day comes from kova::today(), so tests can move it.
class DayFollower final : public QObject
{
public:
    // Follows the date edits under root that show today now; a child of root.
    explicit DayFollower(QWidget* root);

private:
    void arm();
    void checkDay();

    QTimer m_timer;
    QDate m_day;
    QList<QPointer<QDateEdit>> m_untouched;
    bool m_moving = false;
};
