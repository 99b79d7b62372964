#include "rowmessage.h"

#include <QHash>

namespace kova {

namespace {

// A sheet can cut the same field on every one of a million rows, and its
// messages are kept until the run ends: they all share one text per width.
QString exceeding(int width)
{
    thread_local QHash<int, QString> texts;
    auto it = texts.find(width);
    if (it == texts.end())
        it = texts.insert(width,
                          QStringLiteral(". Exceeding ") + QString::number(width) + QStringLiteral(" characters"));
    return *it;
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
