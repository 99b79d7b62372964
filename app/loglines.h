#pragma once

#include "app/blocklist.h"
#include "forms/base/logbatch.h"

#include <QAbstractListModel>
#include <QStringList>
#include <QVector>

#include <functional>

// The processing log's lines: summary and end lines as plain text, the
// export's message lines as rich text. An export of a full sheet may say a
// million things, mostly the same few, so a message line is held as its
// "LINE n" and the number of what it says, and is marked up only while it
// is painted or copied.
class LogLines final : public QAbstractListModel
{
    Q_OBJECT

public:
    // A message line's rich text; empty for a plain line.
    static constexpr int RichTextRole = Qt::UserRole + 1;

    using QAbstractListModel::QAbstractListModel;

    // Where a "LINE n" message's row lies in the sheet, for its tooltip:
    // sheetRowOf(n) is that row, 0 when unknown.
    void setSheetRowOf(std::function<int(int)> sheetRowOf) { m_sheetRowOf = std::move(sheetRowOf); }

    void clear();
    void appendPlain(const QStringList& lines);
    // The message lines of a batch of the running export (its texts
    // numbered since clear()), shown only once its summary arrives.
    void holdMessages(const LogBatch& batch);
    // The summary, the separator, then the held message lines.
    void showSummary(const QStringList& summary);
    // The row of the line with the most characters, to size the view's lines by.
    int longestRow() const { return m_longest; }
    // n of a message line "LINE n: ...", the export's n-th row; 0 for any other line.
    int messageLine(int row) const;
    // Plain text of the rows given, a line each, in that order.
    QString plainText(const QVector<int>& rows) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    // A message line, or with text < 0 the plain line -1 - text.
    struct Line
    {
        int line = 0;
        int text = 0;
    };
    // Lines as runs, each the lines from row on: a plain line alone, or
    // message lines saying one text about lines that follow one another, as
    // a column too long on every row does. A million of them grow the log
    // without copying what it holds.
    struct Run
    {
        int row = 0;
        Line first;
    };
    struct Lines
    {
        BlockList<Run> runs;
        int size = 0;
        Line at(int row) const;
        void append(const Line& line, int count = 1);
        // Every line of other after these, other's runs freed as they are read.
        void take(Lines& other);
    };
    struct Text
    {
        LogBatch::Text says;
        int richSize = 0;   // of its rich text, less its line number
    };

    // The one place a held message line becomes the rich text shown: the
    // colours of the messages as the report writes them, darkened to read at
    // 4.5:1 on the log's white.
    QString renderMessage(const Line& line) const;
    QString plainLine(int row) const;
    int size(const Line& line) const;

    QStringList m_plain;
    QVector<Text> m_texts;
    Lines m_lines;
    Lines m_held;
    std::function<int(int)> m_sheetRowOf;
    int m_longest = 0;
    int m_heldLongest = 0;        // its row in m_held
    int m_heldLongestSize = -1;   // in characters
};
