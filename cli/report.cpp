#include "report.h"

#include "render/messagetext.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace {

QJsonArray marked(const QVector<kova::MarkedCell>& cells)
{
    QJsonArray list;
    for (const kova::MarkedCell& cell : cells)
        list.append(QJsonArray{cell.row, cell.column});
    return list;
}

} // namespace

QByteArray reportJson(const Report& report)
{
    QJsonArray rows;
    for (const kova::RowReport& row : report.rows)
        rows.append(QJsonObject{
            {QStringLiteral("values"), QJsonArray::fromStringList(row.values)},
            {QStringLiteral("marked"), marked(row.cells)},
            {QStringLiteral("messages"), QJsonArray::fromStringList(kova::htmlLines(row.messages))},
        });
    const QJsonObject root{
        {QStringLiteral("titles"), QJsonArray::fromStringList(report.titles)},
        {QStringLiteral("rows"), rows},
        {QStringLiteral("summary"), QJsonArray::fromStringList(report.summary)},
    };
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

bool writeReport(const Report& report, const QString& path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray json = reportJson(report);
    return file.write(json) == json.size() && file.commit();
}
