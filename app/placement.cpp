#include "placement.h"

#include <QStyle>

QRect mainWindowGeometry(const QRect& availableArea, const QMargins& frame)
{
    const QRect inner = availableArea.marginsRemoved(frame);
    return QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, QSize(1100, 760).boundedTo(inner.size()), inner);
}

QRect mainWindowGeometry(const QRect& stored, const QRect& primaryArea, const QList<QRect>& screenAreas)
{
    if (stored.isValid())
        for (const QRect& area : screenAreas)
            if (area.contains(stored))
                return stored;
    return mainWindowGeometry(primaryArea);
}
