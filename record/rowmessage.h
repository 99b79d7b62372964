#pragma once

#include <QString>
#include <QVector>

namespace kova {

// The words of a message about a row: the text before the field title, the
// title itself, which the log shows bold (empty when the message names no
// field), and the text after it.
struct MessageWords
{
    QString before;
    QString title;
    QString after;
    bool operator==(const MessageWords& o) const
    {
        return before == o.before && title == o.title && after == o.after;
    }
};

// "Invalid characters found in <title>"
MessageWords invalidCharacters(const QString& title);
// "String truncated in <title>. Exceeding <width> characters"
MessageWords truncated(const QString& title, int width);

enum class Severity { Error, Warning };

// One line of the processing log, as data: each output renders it its own way.
struct RowMessage
{
    Severity severity = Severity::Error;
    int line = 0;   // "LINE n"
    MessageWords words;
    bool operator==(const RowMessage& o) const
    {
        return severity == o.severity && line == o.line && words == o.words;
    }
};

using RowMessages = QVector<RowMessage>;

} // namespace kova
