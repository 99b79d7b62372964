#include "xlsbook.h"

#include "biffcells.h"
#include "compoundfile.h"

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <freexl.h>

#include <algorithm>
#include <string>

namespace xlsx {

namespace {

quint64 key(unsigned row, unsigned column) { return quint64(row) << 16 | column; }

// FreeXL gives dates and times as text; they read as the .xlsx reader reads
// a date serial: a whole day as QDate, else a UTC QDateTime, a time of day
// on 1899-12-31.
QVariant dateTime(const char* text, unsigned char type)
{
    const QString value = QString::fromUtf8(text);
    QDate date;
    QTime time(0, 0);
    if (type == FREEXL_CELL_DATE) {
        date = QDate::fromString(value, Qt::ISODate);
    } else if (type == FREEXL_CELL_DATETIME) {
        date = QDate::fromString(value.left(10), Qt::ISODate);
        time = QTime::fromString(value.mid(11), QStringLiteral("HH:mm:ss"));
    } else {
        date = QDate(1899, 12, 31);
        time = QTime::fromString(value, QStringLiteral("HH:mm:ss"));
    }
    if (!date.isValid() || !time.isValid())
        return value;
    if (time == QTime(0, 0))
        return date;
    return QDateTime(date, time, Qt::UTC);
}

} // namespace

XlsBook::XlsBook(const QString& path)
{
    open(path);
}

XlsBook::XlsBook(const QByteArray& bytes)
{
    if (bytes.size() > kMaxBytes || !m_copy.open() || m_copy.write(bytes) != bytes.size() || !m_copy.flush())
        return;
    open(m_copy.fileName());
}

XlsBook::~XlsBook()
{
    if (m_handle)
        freexl_close(m_handle);
}

void XlsBook::open(const QString& path)
{
    if (QFileInfo(path).size() > kMaxBytes)
        return;
    // FreeXL 1.0.6 trusts the name lengths of the compound file's directory
    // and reads past its buffer on a crafted one: the file goes to FreeXL
    // only once its directory and workbook stream read soundly here.
    {
        QFile file(path);
        const uchar* bytes = file.open(QIODevice::ReadOnly) ? file.map(0, file.size()) : nullptr;
        std::string stream;
        const auto* data = reinterpret_cast<const char*>(bytes);
        const std::size_t size = std::size_t(file.size());
        // Excel 97 and later name the stream "Workbook", Excel 5 and 95 "Book".
        if (!bytes || (!readCompoundStream(data, size, "Workbook", stream) && !readCompoundStream(data, size, "Book", stream)))
            return;
    }
    m_path = path;
    const void* handle = nullptr;
    const int opened = freexl_open(QFile::encodeName(path).constData(), &handle);
    m_handle = handle;   // closed even when opening failed, as FreeXL asks
    unsigned int password = 0;
    unsigned int sheets = 0;
    if (opened != FREEXL_OK || freexl_get_info(handle, FREEXL_BIFF_PASSWORD, &password) != FREEXL_OK
        || password == FREEXL_BIFF_OBFUSCATED || freexl_get_info(handle, FREEXL_BIFF_SHEET_COUNT, &sheets) != FREEXL_OK)
        return;
    for (unsigned int i = 0; i < sheets; ++i) {
        const char* name = nullptr;
        if (freexl_get_worksheet_name(handle, static_cast<unsigned short>(i), &name) != FREEXL_OK || !name) {
            m_sheets.clear();
            return;
        }
        m_sheets.append(QString::fromUtf8(name));
    }
}

QStringList XlsBook::sheetNames() const
{
    return m_sheets;
}

bool XlsBook::selectSheet(const QString& name)
{
    m_selected = false;
    m_extraCells.clear();
    m_range = CellRange();
    const int index = m_sheets.indexOf(name);
    unsigned short columns = 0;
    if (index < 0 || freexl_select_active_worksheet(m_handle, static_cast<unsigned short>(index)) != FREEXL_OK
        || freexl_worksheet_dimensions(m_handle, &m_rows, &columns) != FREEXL_OK)
        return false;
    m_columns = columns;
    // Past the format's own grid the sheet's dimensions are made up, and
    // scanning them would take as long as the file says.
    if (m_rows > kMaxRows || m_columns > kMaxColumns)
        return false;
    try {
        QFile file(m_path);
        const uchar* bytes = file.open(QIODevice::ReadOnly) ? file.map(0, file.size()) : nullptr;
        if (!bytes)
            return false;
        for (const BiffCell& cell : biffCells(reinterpret_cast<const char*>(bytes), std::size_t(file.size()), name))
            m_extraCells.insert(key(cell.row, cell.column), cell.value);
    } catch (...) {
        return false;
    }
    m_selected = true;

    int firstRow = 0, firstColumn = 0, lastRow = 0, lastColumn = 0;
    const auto take = [&](int row, int column) {
        if (firstRow == 0)
            firstRow = row;
        firstRow = std::min(firstRow, row);
        lastRow = std::max(lastRow, row);
        firstColumn = firstColumn == 0 ? column : std::min(firstColumn, column);
        lastColumn = std::max(lastColumn, column);
    };
    for (unsigned r = 0; r < m_rows; ++r) {
        for (unsigned c = 0; c < m_columns; ++c) {
            FreeXL_CellValue value;
            if (freexl_get_cell_value(m_handle, r, static_cast<unsigned short>(c), &value) == FREEXL_OK
                && value.type != FREEXL_CELL_NULL)
                take(int(r) + 1, int(c) + 1);
        }
    }
    for (auto i = m_extraCells.cbegin(); i != m_extraCells.cend(); ++i)
        take(int(i.key() >> 16) + 1, int(i.key() & 0xFFFF) + 1);
    m_range = CellRange(firstRow, firstColumn, lastRow, lastColumn);
    return true;
}

CellRange XlsBook::dimension() const
{
    return m_range;
}

QVariant XlsBook::read(int row, int column) const
{
    if (!m_selected || row < 1 || column < 1)
        return {};
    const auto extra = m_extraCells.constFind(key(unsigned(row - 1), unsigned(column - 1)));
    if (extra != m_extraCells.cend())
        return *extra;
    if (unsigned(row) > m_rows || unsigned(column) > m_columns)
        return {};
    FreeXL_CellValue value;
    if (freexl_get_cell_value(m_handle, unsigned(row - 1), static_cast<unsigned short>(column - 1), &value) != FREEXL_OK)
        return {};
    switch (value.type) {
    case FREEXL_CELL_INT:
        return qlonglong(value.value.int_value);
    case FREEXL_CELL_DOUBLE:
        return sheetNumber(value.value.double_value);
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
        return QString::fromUtf8(value.value.text_value);
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
    case FREEXL_CELL_TIME:
        return dateTime(value.value.text_value, value.type);
    default:
        return {};
    }
}

QString XlsBook::text(int row, int column) const
{
    return read(row, column).toString();
}

} // namespace xlsx
