#pragma once

#include "export/rowreport.h"

#include <QList>
#include <QPoint>

// The row report's signal carries the marked cells as point pointers (x the
// log row, y the column). This owns those points while the report is
// delivered: the receiver reads them only during the call.
class MarkedPoints final
{
public:
    explicit MarkedPoints(const QVector<kova::MarkedCell>& cells)
    {
        for (const kova::MarkedCell& c : cells)
            m_points.append(new QPoint(c.row, c.column));
    }
    ~MarkedPoints() { qDeleteAll(m_points); }
    MarkedPoints(const MarkedPoints&) = delete;
    MarkedPoints& operator=(const MarkedPoints&) = delete;

    const QList<QPoint*>& list() const { return m_points; }

private:
    QList<QPoint*> m_points;
};
