#pragma once

#include "forms/base/logbatch.h"
#include "record/rowreport.h"

#include <QMultiHash>
#include <QString>
#include <QVector>

// Packs an export's row reports into LogBatches on the export's thread, one
// packer per export: a value its column repeats is held once and named by its
// number (the first thousand or so distinct values of each column are
// numbered), a message line is sent as its "LINE n" and the number of what
// it says, each text sent once, and a marked cell's tip as the message line
// it tells.
class LogPacker final
{
public:
    void add(const kova::RowReport& report);
    // Rows added since the last take().
    int rows() const { return m_batch.rows.size(); }
    LogBatch take();

    // Rows after which a column that seldom repeats its value row after row
    // (in fewer than one in eight) is no longer compared with the row before.
    static constexpr int trialRows = 4096;

private:
    struct Column
    {
        // The values numbered, a value's number its index, and a table of
        // them by hash (open addressing, twice as many slots as values may
        // be numbered, each (hash << 32) | (number + 1), 0 when empty): a
        // column of values that come round again is looked up every row, and
        // this costs it one probe of a small array and one comparison.
        QVector<QString> numbered;
        QVector<quint64> table;
        int find(const QString& value, uint hash) const;
        void number(const QString& value, uint hash);
        // The value of the row before, and how it was written (0: in full):
        // most columns hold one value row after row, which is told without a
        // lookup.
        QString last;
        quint64 lastNumber = 0;
        bool lastWritten = false;
        // Rows compared with the one before, and how many held its value: a
        // column of a new value every row (a reference, an amount) is
        // compared no more, which saves its comparison and its copy.
        int compared = 0;
        int repeated = 0;
        bool comparesLast = true;
        // Once every number is given: lookups, and those that found one. A
        // column of values that seldom repeat (a reference, an account) is
        // looked up no more.
        int lookups = 0;
        int found = 0;
        bool lookedUp = true;
    };

    void put(Column& held, int column, const QString& value);
    quint64 numberOf(Column& column, int index, const QString& value);
    void putText(const QString& value);
    // Room for bytes more in the batch's text, at m_used.
    char* room(int bytes);
    void mark(const kova::MarkedCell& cell, bool error, int firstMessage, int messages);
    int textNumber(const kova::RowMessage& message);

    // The texts numbered first, a text's number its index, found by hash:
    // looked up for every message line, and told apart from the one before
    // without a lookup. Texts after those are numbered anew each time, so
    // that words that never repeat hold nothing here.
    QVector<LogBatch::Text> m_texts;
    QMultiHash<uint, int> m_textNumbers;
    int m_textCount = 0;
    int m_lastText = -1;   // -1 when not among m_texts

    QVector<Column> m_columns;
    LogBatch m_batch;
    // Bytes of m_batch.text in use: it is written through a pointer, grown
    // ahead and cut to this at take().
    int m_used = 0;
};
