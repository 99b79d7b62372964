#pragma once

#include "app/loglineview.h"
#include "app/mainwindow.h"

#include <QtTest>
#include <QtWidgets>

// The window's two logs, read through these alone: the processing log's text, and the log
// table as "<sheet row>: <cell> <cell>..." rows split by |, a cell drawn as its tint
// (p pale, d deeper, t cut short), r for red text, > right-aligned.
const QString separator = QStringLiteral("-------------------------------------");   // under the summary
// A workbook chosen is read off the window's thread: done once its Cancel has left the status bar.
inline bool workbookRead(MainWindow* w)
{
    QElapsedTimer waited;
    waited.start();
    while (w->findChild<QPushButton*>("btnCancel")->isVisibleTo(w) && waited.elapsed() < 20000)
        QTest::qWait(2);
    return !w->findChild<QPushButton*>("btnCancel")->isVisibleTo(w);
}
inline QString logText(MainWindow* w) { return w->findChild<LogLineView*>("txtStatus")->toPlainText(); }
inline QAbstractItemModel* logTable(MainWindow* w) { return w->findChild<QTableView*>("tableView")->model(); }
inline QString cellPicture(MainWindow* w)
{
    const QMap<QString, QString> names{{"#fbe1e3", "p"}, {"#f5b5ba", "d"}, {"#fddcbf", "t"}, {"#8f0f1a", "r"}};
    QString picture;
    for (int r = 0; r < logTable(w)->rowCount(); ++r) {
        picture += (r ? "|" : "") + logTable(w)->headerData(r, Qt::Vertical).toString() + ":";
        for (int c = 0; c < logTable(w)->columnCount(); ++c) {
            const QModelIndex cell = logTable(w)->index(r, c);
            QString drawn;
            for (int role : {Qt::BackgroundRole, Qt::ForegroundRole}) {
                const QBrush brush = qvariant_cast<QBrush>(cell.data(role));
                drawn += brush.style() == Qt::NoBrush ? "" : names.value(brush.color().name(), brush.color().name());
            }
            const QVariant align = cell.data(Qt::TextAlignmentRole);
            drawn += !align.isValid() ? "" : align.toInt() == int(Qt::AlignRight | Qt::AlignVCenter) ? ">" : "?";
            picture += " " + (drawn.isEmpty() ? "." : drawn);
        }
    }
    return picture;
}
