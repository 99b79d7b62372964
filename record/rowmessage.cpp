#include "rowmessage.h"

#include <array>

namespace kova {

namespace {

QString exceedingText(int width)
{
    return QStringLiteral(". Exceeding ") + QString::number(width) + QStringLiteral(" characters");
}

// A sheet can cut the same field on every one of a million rows, and its
// messages are kept until the run ends: they all share one text per width.
// The layouts' widths are all below the table's size.
QString exceeding(int width)
{
    thread_local std::array<QString, 128> texts;
    if (width < 0 || width >= int(texts.size()))
        return exceedingText(width);
    QString& text = texts[std::size_t(width)];
    if (text.isNull())
        text = exceedingText(width);
    return text;
}

} // namespace

MessageWords invalidCharacters(const QString& title)
{
    return {QStringLiteral("Invalid characters found in "), title, QString()};
}

MessageWords truncated(const QString& title, int width)
{
    return {QStringLiteral("String truncated in "), title, exceeding(width)};
}

} // namespace kova
