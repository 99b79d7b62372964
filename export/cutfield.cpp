#include "cutfield.h"

#include "exportrun.h"
#include "messageline.h"
#include "textfield.h"

namespace kova {

QString cutField(const QString& text, int width, const QString& cutTitle, const QString& logTitle, int column,
                 RowContext& out)
{
    if (text.size() > width)
        out.warning(truncatedTail(cutTitle, width), column);
    if (!isPrintableAscii(text))
        out.error(invalidCharactersTail(logTitle), column);
    return leftField(text, width);
}

} // namespace kova
