#include "cutfield.h"

#include "rowcontext.h"
#include "textfield.h"

namespace kova {

QString cutField(const QString& text, int width, const QString& cutTitle, const QString& logTitle, int column,
                 RowContext& out)
{
    if (text.size() > width)
        out.warning(truncated(cutTitle, width), column);
    if (!isPrintableAscii(text))
        out.error(invalidCharacters(logTitle), column);
    return leftField(text, width);
}

} // namespace kova
