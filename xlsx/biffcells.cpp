#include "biffcells.h"

#include "compoundfile.h"
#include "numberformat.h"
#include "serialdate.h"

#include <QString>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>
#include <optional>
#include <string>

namespace xlsx {

namespace {

enum Record : std::uint16_t {
    Bof = 0x0809,
    Eof = 0x000A,
    DateMode = 0x0022,
    Format = 0x041E,
    ExtendedFormat = 0x00E0,
    BoundSheet = 0x0085,
    Formula = 0x0006,
    FormulaString = 0x0207,
    BoolErr = 0x0205,
};
constexpr std::uint16_t kBiff8 = 0x0600;
constexpr std::uint16_t kColumns = 256;

std::uint16_t le16(const char* p) { return std::uint16_t(std::uint8_t(p[0]) | std::uint8_t(p[1]) << 8); }
std::uint32_t le32(const char* p) { return std::uint32_t(le16(p)) | std::uint32_t(le16(p + 2)) << 16; }

QString errorText(std::uint8_t code)
{
    switch (code) {
    case 0x00: return QStringLiteral("#NULL!");
    case 0x07: return QStringLiteral("#DIV/0!");
    case 0x0F: return QStringLiteral("#VALUE!");
    case 0x17: return QStringLiteral("#REF!");
    case 0x1D: return QStringLiteral("#NAME?");
    case 0x24: return QStringLiteral("#NUM!");
    case 0x2A: return QStringLiteral("#N/A");
    default: return QStringLiteral("#N/A");
    }
}

// A BIFF8 string of length chars at p (flags first): 8-bit Latin-1 or UTF-16LE,
// cut at the end of its record.
QString biffString(const char* p, const char* end, std::size_t chars)
{
    if (p >= end)
        return {};
    const std::uint8_t flags = std::uint8_t(*p++);
    if (flags & 0x08)
        p += 2;   // rich-text run count
    if (flags & 0x04)
        p += 4;   // phonetic block size
    if (p > end)
        return {};
    const std::size_t available = std::size_t(end - p);
    if (flags & 0x01) {
        const std::size_t n = std::min(chars, available / 2);
        QString text(int(n), Qt::Uninitialized);
        for (std::size_t i = 0; i < n; ++i)
            text[int(i)] = QChar(le16(p + 2 * i));
        return text;
    }
    return QString::fromLatin1(p, int(std::min(chars, available)));
}

class RecordReader final
{
public:
    RecordReader(const std::string& stream, std::size_t at) : m_stream(stream), m_at(at) {}

    // The next record; false at the end of the stream or a record cut short.
    bool next()
    {
        if (m_at + 4 > m_stream.size())
            return false;
        type = le16(m_stream.data() + m_at);
        length = le16(m_stream.data() + m_at + 2);
        body = m_stream.data() + m_at + 4;
        if (m_at + 4 + length > m_stream.size())
            return false;
        m_at += 4 + std::size_t(length);
        return true;
    }

    std::uint16_t type = 0;
    std::uint16_t length = 0;
    const char* body = nullptr;

private:
    const std::string& m_stream;
    std::size_t m_at;
};

} // namespace

QVariant sheetNumber(double value)
{
    if (std::floor(value) == value && std::fabs(value) < 1e15)
        return qlonglong(value);
    return value;
}

std::vector<BiffCell> biffCells(const char* data, std::size_t size, const QString& sheetName)
{
    std::string stream;
    if (!readCompoundStream(data, size, "Workbook", stream))
        return {};

    // The workbook globals: date system, number formats, cell formats, sheets.
    DateSystem dateSystem = DateSystem::From1900;
    std::map<std::uint16_t, std::string> formatCodes;
    std::vector<std::uint16_t> formatOfXf;
    std::optional<std::uint32_t> sheetAt;
    RecordReader globals(stream, 0);
    if (!globals.next() || globals.type != Bof || globals.length < 2 || le16(globals.body) != kBiff8)
        return {};
    while (globals.next() && globals.type != Eof) {
        const char* end = globals.body + globals.length;
        if (globals.type == DateMode && globals.length >= 2)
            dateSystem = le16(globals.body) ? DateSystem::From1904 : DateSystem::From1900;
        else if (globals.type == Format && globals.length >= 5)
            formatCodes[le16(globals.body)] = biffString(globals.body + 4, end, le16(globals.body + 2)).toStdString();
        else if (globals.type == ExtendedFormat && globals.length >= 4)
            formatOfXf.push_back(le16(globals.body + 2));
        else if (globals.type == BoundSheet && globals.length >= 8
                 && biffString(globals.body + 7, end, std::uint8_t(globals.body[6])) == sheetName)
            sheetAt = le32(globals.body);
    }
    if (!sheetAt)
        return {};

    const auto isDate = [&](std::uint16_t xf) {
        if (xf >= formatOfXf.size())
            return false;
        const std::uint16_t format = formatOfXf[xf];
        const auto code = formatCodes.find(format);
        return code != formatCodes.end() ? isDateFormatCode(code->second) : isBuiltInDateFormat(format);
    };

    std::vector<BiffCell> cells;
    RecordReader sheet(stream, *sheetAt);
    if (!sheet.next() || sheet.type != Bof)
        return {};
    bool stringPending = false;
    while (sheet.next() && sheet.type != Eof) {
        const char* p = sheet.body;
        if (stringPending) {
            stringPending = false;
            if (sheet.type == FormulaString && sheet.length >= 3) {
                cells.back().value = biffString(p + 2, p + sheet.length, le16(p));
                continue;
            }
            cells.pop_back();   // the text never came: no value
        }
        // A sheet of this format has 256 columns; a cell past them is no cell of it.
        if ((sheet.type == Formula || sheet.type == BoolErr) && sheet.length >= 4 && le16(p + 2) >= kColumns)
            continue;
        if (sheet.type == Formula && sheet.length >= 14) {
            BiffCell cell{le16(p), le16(p + 2), {}};
            if (le16(p + 12) != 0xFFFF) {
                double number;
                std::memcpy(&number, p + 6, sizeof number);
                const QVariant date = isDate(le16(p + 4)) ? serialToDate(number, dateSystem) : QVariant();
                cell.value = date.isValid() ? date : sheetNumber(number);
            } else if (p[6] == 0) {
                stringPending = true;   // the text follows in a record of its own
            } else if (p[6] == 1) {
                cell.value = p[8] != 0;
            } else if (p[6] == 2) {
                cell.value = errorText(std::uint8_t(p[8]));
            } else {
                continue;   // an empty text: no value
            }
            cells.push_back(cell);
        } else if (sheet.type == BoolErr && sheet.length >= 8) {
            const bool isError = p[7] != 0;
            cells.push_back({le16(p), le16(p + 2),
                             isError ? QVariant(errorText(std::uint8_t(p[6]))) : QVariant(p[6] != 0)});
        }
    }
    if (stringPending)
        cells.pop_back();
    return cells;
}

} // namespace xlsx
