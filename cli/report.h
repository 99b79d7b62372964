#pragma once

#include "record/rowreport.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The run's log as the window would show it: titles, one entry per processed
// row, summary.
struct Report
{
    QStringList titles;
    QList<kova::RowReport> rows;
    QStringList summary;
};

// {"titles": [...], "rows": [{"values": [...], "marked": [[row, col], ...],
//  "messages": ["<html line>", ...]}, ...], "summary": [...]}
QByteArray reportJson(const Report& report);

// Writes the JSON to path, replacing the file only when complete.
bool writeReport(const Report& report, const QString& path);
