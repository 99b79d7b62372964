#include "cutfield.h"

#include "rowcontext.h"
#include "textfield.h"

namespace kova {

QString cutField(const QString& text, int width, const QString& cutTitle, const QString& logTitle, int column,
                 RowContext& out)
{
    QString cut;
    putCutField(cut, text, width, cutTitle, logTitle, column, out);
    return cut;
}

void putCutField(QString& to, const QString& text, int width, const QString& cutTitle, const QString& logTitle,
                 int column, RowContext& out)
{
    if (text.size() > width)
        out.warning(truncated(cutTitle, width), column);
    if (!isPrintableAscii(text))
        out.error(invalidCharacters(logTitle), column);
    putLeftField(to, text, width);
}

} // namespace kova
