#include "placement.h"

#include <QStyle>

QRect mainWindowGeometry(const QRect& availableArea)
{
    return QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, QSize(1100, 760), availableArea);
}
