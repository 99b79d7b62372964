#include "batchhistorymodel.h"

#include "register/batchtexts.h"

namespace {

// A page fills a tall window several times over and reads in a millisecond.
constexpr int pageRows = 256;
constexpr int columnsShown = 6;

} // namespace

BatchHistoryModel::BatchHistoryModel(const QString& registerPath, QObject* parent)
    : QAbstractTableModel(parent)
    , m_register(std::make_unique<kova::BatchRegister>(registerPath))
{
    fetchMore({});
}

BatchHistoryModel::~BatchHistoryModel() = default;

QString BatchHistoryModel::linesOf(const QVector<int>& rows) const
{
    QString text;
    for (int row : rows)
        text += m_lines.at(row) + QLatin1Char('\n');
    return text;
}

int BatchHistoryModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_lines.size();
}

int BatchHistoryModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : columnsShown;
}

QVariant BatchHistoryModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const int column = index.column();
    if (role == Qt::DisplayRole)
        // The file is the rest of its line.
        return m_lines.at(index.row()).section(QLatin1Char('\t'), column, column == columnsShown - 1 ? -1 : column);
    if (role == Qt::TextAlignmentRole && (column == 3 || column == 4))
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant BatchHistoryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const QStringList titles{QStringLiteral("Date"),    QStringLiteral("Type"),  QStringLiteral("Header ID"),
                                    QStringLiteral("Records"), QStringLiteral("Total"), QStringLiteral("File")};
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return titles.value(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

bool BatchHistoryModel::canFetchMore(const QModelIndex& parent) const
{
    return !parent.isValid() && !m_complete;
}

void BatchHistoryModel::fetchMore(const QModelIndex& parent)
{
    if (!canFetchMore(parent))
        return;
    const QVector<kova::BatchEntry> page = m_register->historyPage(m_lastId, pageRows);
    m_complete = page.size() < pageRows;
    if (page.isEmpty())
        return;
    beginInsertRows({}, m_lines.size(), m_lines.size() + page.size() - 1);
    for (const kova::BatchEntry& entry : page) {
        m_lines.append(kova::historyText({entry}).chopped(1));
    }
    m_lastId = page.last().id;
    endInsertRows();
}
