#pragma once

#include "record/rowmessage.h"

#include <QByteArray>
#include <QMetaType>
#include <QString>
#include <QVector>

// Rows of the log table as an export sends them to the window, packed on the
// export's thread (LogPacker), so that the window's thread only appends them:
// a full sheet is a million rows, and the window must keep answering.
//
// A row's values lie one after the other in text, each led by a number n:
// odd, the (n >> 1)-th value numbered in its column since the export began;
// even, n >> 1 bytes of UTF-8 following it.
struct LogBatch
{
    struct Row
    {
        int start = 0;            // of its values in text
        int sheetRow = 0;
        qint16 values = 0;
        qint16 amountColumn = 0;  // right-aligned when in 1..values-1
    };
    // A cell marked by the batch's reportedBy-th row: row is the marked row's
    // index in the export, which may be any row reported so far. Its tip is
    // the plain words of one of the batch's message lines, held as that
    // line's number and text like the line itself.
    struct Mark
    {
        int reportedBy = 0;
        int row = 0;
        int column = 0;
        bool error = true;        // else a value cut with a warning
        int tip = -1;             // its message among messages; -1 for none
    };
    // A value given the next number of its column.
    struct Numbered
    {
        int column = 0;
        QString value;
    };
    // What a message line says after its "LINE n", given the next number of
    // the export's texts: a full sheet says the same few things a million
    // times, and each is sent and held once.
    struct Text
    {
        kova::Severity severity = kova::Severity::Error;
        kova::MessageWords words;
    };
    // A row's message line: its n and the number of its text.
    struct Message
    {
        int line = 0;
        int text = 0;
    };

    QByteArray text;
    QVector<Row> rows;
    QVector<Numbered> numbered;   // in the order numbered
    QVector<Mark> marks;          // in the order reported
    QVector<Text> texts;          // in the order numbered
    QVector<Message> messages;    // in the order reported

    // Writes n at out, at most 10 bytes, and returns where it ends.
    static char* putNumber(char* out, quint64 n)
    {
        while (n >= 0x80) {
            *out++ = char(0x80 | (n & 0x7f));
            n >>= 7;
        }
        *out++ = char(n);
        return out;
    }

    static quint64 takeNumber(const char*& at)
    {
        quint64 n = 0;
        for (int shift = 0;; shift += 7) {
            const auto byte = quint8(*at++);
            n |= quint64(byte & 0x7f) << shift;
            if (byte < 0x80)
                return n;
        }
    }
};

Q_DECLARE_METATYPE(LogBatch)
