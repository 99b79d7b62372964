#include "placement.h"

#include <QStyle>

QMargins assumedFrame()
{
    return QMargins(8, 40, 8, 8);
}

QRect mainWindowGeometry(const QRect& availableArea, const QMargins& frame)
{
    const QRect inner = availableArea.marginsRemoved(frame);
    return QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, QSize(1280, 900).boundedTo(inner.size()), inner);
}

QRect mainWindowGeometry(const QRect& stored, const QRect& primaryArea, const QList<QRect>& screenAreas)
{
    if (stored.isValid())
        for (const QRect& area : screenAreas)
            if (area.contains(stored))
                return stored;
    return mainWindowGeometry(primaryArea);
}
