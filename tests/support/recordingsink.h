#pragma once

#include "export/exportsink.h"
#include "render/summarylines.h"

#include <QList>
#include <QPair>
#include <QStringList>

// Keeps everything an export reports, in order, for the tests to compare.
class RecordingSink final : public kova::ExportSink
{
public:
    enum class Box { Critical, Information };

    void headerChanged(const QStringList& t) override { titles = t; ++headerReports; }
    void rowProcessed(const kova::RowReport& r) override { rows.append(r); }
    void summaryReady(const kova::Summary& s) override { summary = kova::summaryLines(s); ++summaryReports; }
    void critical(const QString& text) override { boxes.append({Box::Critical, text}); }
    void information(const QString& text) override { boxes.append({Box::Information, text}); }
    bool askWriteAgain(const QString& question) override
    {
        questions.append(question);
        return writeAgain;
    }
    void registerProblem(const QString& text) override { registerProblems.append(text); }

    // Every message line of every row as the log shows it, in arrival order.
    QStringList allMessages() const;
    // The texts of the message boxes, in order.
    QStringList boxTexts() const;

    QStringList titles;
    int headerReports = 0;
    QList<kova::RowReport> rows;
    QStringList summary;
    int summaryReports = 0;
    QList<QPair<Box, QString>> boxes;
    QStringList questions;
    bool writeAgain = true;    // the answer to every question
    QStringList registerProblems;
};
