#include "batchhistorymodel.h"

#include "register/batchtexts.h"

namespace {

// A page fills a tall window several times over and reads in a millisecond.
constexpr int pageRows = 256;
constexpr int columnsShown = 9;
// The upload file's SHA-256, after its path: what a summary and kova-export verify print.
constexpr int shaColumn = 8;
// Columns of the batch's key, shown between the Header ID and the records.
constexpr int keyColumn = 3;
constexpr int keyColumns = 2;

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
    if (role == Qt::DisplayRole) {
        if (column >= keyColumn && column < keyColumn + keyColumns)
            return m_keys.at(index.row()).value(column - keyColumn);
        if (column == shaColumn)
            return m_sha256.at(index.row());
        // The file is the rest of its line.
        const int field = column < keyColumn ? column : column - keyColumns;
        return m_lines.at(index.row()).section(QLatin1Char('\t'), field, column == shaColumn - 1 ? -1 : field);
    }
    if (role == Qt::TextAlignmentRole && (column == 5 || column == 6))
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant BatchHistoryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const QStringList titles{QStringLiteral("Written"),        QStringLiteral("Type"),
                                    QStringLiteral("Header ID"),      QStringLiteral("Effective date"),
                                    QStringLiteral("Account"),        QStringLiteral("Records"),
                                    QStringLiteral("Total"),          QStringLiteral("File"),
                                    QStringLiteral("SHA-256")};
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
        // Empty for a batch recorded before registers kept it.
        m_sha256.append(entry.fileSha256);
        // An entry kept before registers kept keys has none to show.
        if (!entry.key)
            m_keys.append(QStringList());
        else
            m_keys.append({entry.key->effectiveDate.isEmpty() ? QStringLiteral("On authorization") : entry.key->effectiveDate,
                           entry.key->account});
    }
    m_lastId = page.last().id;
    endInsertRows();
}

void BatchHistoryModel::fetchAll()
{
    while (canFetchMore({}))
        fetchMore({});
}
