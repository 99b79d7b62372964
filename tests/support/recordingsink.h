#pragma once

#include "record/exportsink.h"
#include "render/messagetext.h"
#include "render/summarylines.h"

// Keeps everything an export reports, in order; answers every question Yes.
class RecordingSink final : public kova::ExportSink
{
public:
    void headerChanged(const QStringList& t) override { titles = t, ++headerReports; }
    void rowProcessed(const kova::RowReport& r) override { rows.append(r); }
    void summaryReady(const kova::Summary& s) override { summary = kova::summaryLines(s); }
    void critical(const QString& text) override { m_boxes.append(text); }
    void information(const QString& text) override { m_boxes.append(text); }
    bool askWriteAgain(const QString&) override { return true; }
    void registerProblem(const QString&) override {}

    QStringList allMessages() const
    {
        QStringList all;
        for (const auto& r : rows)
            all += kova::htmlLines(r.messages);
        return all;
    }
    QStringList boxTexts() const { return m_boxes; }

    QStringList titles;
    int headerReports = 0;
    QList<kova::RowReport> rows;
    QStringList summary;

private:
    QStringList m_boxes;
};
