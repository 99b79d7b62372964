#pragma once

#include <QAbstractListModel>
#include <QByteArray>
#include <QStringList>
#include <QVector>

#include <functional>

// The processing log's lines: summary and end lines as plain text, the
// export's message lines as rich text. An export of a full sheet may say a
// million things, so a line is held as its UTF-8 in one shared buffer and
// becomes a document only while it is painted.
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
    // Message lines of the running export, shown only once its summary arrives.
    void holdMessages(const QStringList& messages);
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
    // The held text of a line begins with its kind.
    enum Kind : char { Plain = 'P', Message = 'M' };

    // Lines as UTF-8 in blocks that are never moved once written: adding a
    // line never copies the lines before it, and held lines join the shown
    // ones by handing their blocks over. A line lies whole in one block.
    struct Store
    {
        QVector<QByteArray> blocks;
        QVector<qint64> starts;   // block << 32 | offset in it
        void add(Kind kind, const QString& line);
        QByteArray line(int row) const;
        // Every line of other after these, other left empty.
        void take(Store& other);
    };

    // The one place a held message line becomes the rich text shown: the
    // colours of the messages as the report writes them, darkened to read at
    // 4.5:1 on the log's white.
    static QString renderMessage(const QByteArray& held);
    QString plainLine(int row) const;
    void append(Kind kind, const QStringList& lines);

    Store m_lines;
    Store m_held;
    std::function<int(int)> m_sheetRowOf;
    int m_longest = 0;
    int m_heldLongest = 0;        // its row in m_held
    int m_heldLongestSize = -1;   // in characters
};
