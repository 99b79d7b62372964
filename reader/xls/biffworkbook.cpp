#include "biffworkbook.h"

#include "reader/containers/compoundfile.h"
#include "reader/cells/numberformat.h"
#include "reader/cells/textlimit.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace reader {

namespace {

enum Record : std::uint16_t {
    Bof = 0x0809,
    Eof = 0x000A,
    FilePass = 0x002F,
    DateMode = 0x0022,
    Format = 0x041E,
    ExtendedFormat = 0x00E0,
    BoundSheet = 0x0085,
    SharedStrings = 0x00FC,
    Continue = 0x003C,
    Number = 0x0203,
    Rk = 0x027E,
    MulRk = 0x00BD,
    LabelSst = 0x00FD,
    Label = 0x0204,
    RichLabel = 0x00D6,
    Formula = 0x0006,
    // The numbers FORMULA had before BIFF5; some writers still use them, for the same layout.
    FormulaBiff3 = 0x0206,
    FormulaBiff4 = 0x0406,
    SharedFormula = 0x04BC,
    ArrayFormula = 0x0221,
    DataTable = 0x0236,
    FormulaString = 0x0207,
    BoolErr = 0x0205,
};
constexpr std::uint16_t kBiff8 = 0x0600;
constexpr std::uint16_t kBiff5 = 0x0500;
constexpr std::uint16_t kWorksheet = 0x0010;
constexpr unsigned kColumns = 256;

std::uint16_t le16(const char* p) { return std::uint16_t(std::uint8_t(p[0]) | std::uint8_t(p[1]) << 8); }
std::uint32_t le32(const char* p) { return std::uint32_t(le16(p)) | std::uint32_t(le16(p + 2)) << 16; }

double rkNumber(std::uint32_t rk)
{
    double value;
    if (rk & 2) {
        value = double(std::int32_t(rk) >> 2);
    } else {
        const std::uint64_t bits = std::uint64_t(rk & 0xFFFFFFFC) << 32;
        std::memcpy(&value, &bits, sizeof value);
    }
    return rk & 1 ? value / 100 : value;
}

QString errorText(std::uint8_t code)
{
    switch (code) {
    case 0x00: return QStringLiteral("#NULL!");
    case 0x07: return QStringLiteral("#DIV/0!");
    case 0x0F: return QStringLiteral("#VALUE!");
    case 0x17: return QStringLiteral("#REF!");
    case 0x1D: return QStringLiteral("#NAME?");
    case 0x24: return QStringLiteral("#NUM!");
    default: return QStringLiteral("#N/A");
    }
}

// Bytes of one record and the CONTINUE records after it, read as one run;
// a string's characters that go on in the next record start there with a
// flags byte of their own.
class RecordBytes final
{
public:
    void add(const char* data, std::size_t size) { m_parts.push_back({data, size}); }
    bool atEnd() const { return m_part >= m_parts.size(); }

    bool read(std::size_t n, std::string* out = nullptr)
    {
        while (n > 0) {
            if (atEnd())
                return false;
            const Part& part = m_parts[m_part];
            const std::size_t take = std::min(n, part.size - m_at);
            if (out)
                out->append(part.data + m_at, take);
            m_at += take;
            n -= take;
            if (m_at == part.size)
                next();
        }
        return true;
    }
    bool u8(std::uint8_t& v) { std::string b; return read(1, &b) && (v = std::uint8_t(b[0]), true); }
    bool u16(std::uint16_t& v) { std::string b; return read(2, &b) && (v = le16(b.data()), true); }
    bool u32(std::uint32_t& v) { std::string b; return read(4, &b) && (v = le32(b.data()), true); }

    // An XLUnicodeRichExtendedString whose character count was read.
    bool string(std::uint16_t chars, QString& text)
    {
        std::uint8_t flags;
        if (!u8(flags))
            return false;
        std::uint16_t runs = 0;
        std::uint32_t extension = 0;
        if ((flags & 0x08) && !u16(runs))
            return false;
        if ((flags & 0x04) && !u32(extension))
            return false;
        text.clear();
        text.reserve(chars);
        bool wide = flags & 0x01;
        while (text.size() < chars) {
            if (atEnd())
                return false;
            const std::size_t inPart = (m_parts[m_part].size - m_at) / (wide ? 2 : 1);
            const std::size_t take = std::min<std::size_t>(chars - std::size_t(text.size()), inPart);
            const char* p = m_parts[m_part].data + m_at;
            for (std::size_t i = 0; i < take; ++i)
                text.append(wide ? QChar(le16(p + 2 * i)) : QChar(std::uint8_t(p[i])));
            if (!read(take * (wide ? 2 : 1)))
                return false;
            if (text.size() < chars) {
                // The characters go on in the next record, behind a flags byte of their own.
                if (m_at != 0 || atEnd())
                    return false;
                std::uint8_t more;
                if (!u8(more))
                    return false;
                wide = more & 0x01;
            }
        }
        return read(std::size_t(runs) * 4 + extension);
    }

private:
    struct Part
    {
        const char* data;
        std::size_t size;
    };
    void next()
    {
        ++m_part;
        m_at = 0;
        while (m_part < m_parts.size() && m_parts[m_part].size == 0)
            ++m_part;
    }

    std::vector<Part> m_parts;
    std::size_t m_part = 0;
    std::size_t m_at = 0;
};

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
    std::uint16_t peekType() const { return m_at + 2 <= m_stream.size() ? le16(m_stream.data() + m_at) : 0; }

    // Passes over the records up to the EOF that closes the substream whose
    // BOF was just read, substreams inside it counted; false when the stream
    // ends first.
    bool skipSubstream()
    {
        for (std::size_t depth = 1; depth > 0;) {
            if (!next())
                return false;
            if (type == Bof)
                ++depth;
            else if (type == Eof)
                --depth;
        }
        return true;
    }

    // The bytes of the record just read and of the CONTINUE records after it.
    RecordBytes continued()
    {
        RecordBytes bytes;
        bytes.add(body, length);
        while (peekType() == Continue && next())
            bytes.add(body, length);
        return bytes;
    }

    std::uint16_t type = 0;
    std::uint16_t length = 0;
    const char* body = nullptr;

private:
    const std::string& m_stream;
    std::size_t m_at;
};

// The string at body (character count, then the string) within one record.
QString recordString(const char* body, std::size_t length, std::size_t countBytes)
{
    if (length < countBytes + 1)
        return {};
    RecordBytes bytes;
    bytes.add(body + countBytes, length - countBytes);
    const std::uint16_t chars = countBytes == 1 ? std::uint8_t(body[0]) : le16(body);
    QString text;
    return bytes.string(chars, text) ? text : QString();
}

} // namespace

QVariant sheetNumber(double value)
{
    if (std::floor(value) == value && std::fabs(value) < 1e15)
        return qlonglong(value);
    return value;
}

bool BiffWorkbook::load(const char* data, std::size_t size, const QString& password)
{
    // Excel 5 and 95 named the stream "Book"; some report tools still do, for BIFF8 records.
    if (!readCompoundStream(data, size, "Workbook", m_stream) && !readCompoundStream(data, size, "Book", m_stream))
        return false;
    RecordReader globals(m_stream, 0);
    if (!globals.next() || globals.type != Bof || globals.length < 4)
        return false;
    if (le16(globals.body) == kBiff5) {
        m_problem = QStringLiteral("Excel 95 workbook: save it as .xlsx and choose it again");
        return false;
    }
    if (le16(globals.body) != kBiff8)
        return false;
    while (globals.next() && globals.type != Eof) {
        const char* p = globals.body;
        const std::size_t length = globals.length;
        switch (globals.type) {
        case FilePass:
            // The records after it are decrypted in place, then read as any others.
            m_unlock = decryptBiff(m_stream, std::size_t(p - m_stream.data()) + length, std::string_view(p, length),
                                   password);
            if (m_unlock != BiffUnlock::Opened)
                return false;
            break;
        case DateMode:
            if (length >= 2)
                m_dateSystem = le16(p) ? DateSystem::From1904 : DateSystem::From1900;
            break;
        case Format:
            if (length >= 5)
                m_formatCodes[le16(p)] = recordString(p + 2, length - 2, 2).toStdString();
            break;
        case ExtendedFormat:
            if (length >= 4)
                m_formatOfXf.push_back(le16(p + 2));
            break;
        case BoundSheet:
            if (length >= 8 && p[5] == 0) {   // a worksheet: charts and macro sheets hold no cells
                m_sheetOffsets.push_back(le32(p));
                m_names.push_back(recordString(p + 6, length - 6, 1));
            }
            break;
        case SharedStrings: {
            RecordBytes bytes = globals.continued();
            std::uint32_t total, unique;
            if (!bytes.u32(total) || !bytes.u32(unique))
                return false;
            // Every string takes at least three bytes: a count beyond them is made up.
            m_sharedStrings.reserve(std::min<std::size_t>(unique, length / 3 + 1));
            // Some writers announce more strings than they write, as spreadsheet
            // programs read them: the strings there are the table, and a cell
            // naming one past them makes its sheet unreadable.
            for (std::uint32_t i = 0; i < unique; ++i) {
                std::uint16_t chars;
                QString text;
                if (!bytes.u16(chars) || !bytes.string(chars, text))
                    break;
                m_sharedStrings.push_back(text);
            }
            break;
        }
        default:
            break;
        }
    }
    return globals.type == Eof;
}

bool BiffWorkbook::isDate(std::uint16_t xf) const
{
    if (xf >= m_formatOfXf.size())
        return false;
    const std::uint16_t format = m_formatOfXf[xf];
    const auto code = m_formatCodes.find(format);
    return code != m_formatCodes.end() ? isDateFormatCode(code->second) : isBuiltInDateFormat(format);
}

QVariant BiffWorkbook::number(double value, std::uint16_t xf) const
{
    if (!std::isfinite(value))
        return {};
    const QVariant date = isDate(xf) ? serialToDate(value, m_dateSystem) : QVariant();
    return date.isValid() ? date : sheetNumber(value);
}

bool BiffWorkbook::readSheet(std::size_t index, std::vector<BiffCell>& cells, QString& problem) const
{
    cells.clear();
    problem.clear();
    if (index >= m_sheetOffsets.size())
        return false;
    RecordReader sheet(m_stream, m_sheetOffsets[index]);
    if (!sheet.next() || sheet.type != Bof || sheet.length < 4 || le16(sheet.body) != kBiff8
        || le16(sheet.body + 2) != kWorksheet)
        return false;
    const auto add = [&](std::uint16_t row, std::uint16_t column, const QVariant& value, bool unknown = false) {
        if (column >= kColumns || !value.isValid())
            return true;
        if (cells.size() >= kMaxCells)
            return false;
        cells.push_back({std::uint32_t(row) << 8 | column, value, unknown});
        return true;
    };
    // A formula whose result is text is followed by the records of the shared,
    // array or table formula it starts, if any (continued, if long), then by
    // its text in a record of its own. Anything else first, or the sheet's end,
    // leaves the cell without a value anyone can vouch for.
    bool stringPending = false;
    std::uint16_t pendingRow = 0, pendingColumn = 0;
    const auto resultNeverCame = [&] {
        stringPending = false;
        return add(pendingRow, pendingColumn, QStringLiteral("="), true);
    };
    while (sheet.next() && sheet.type != Eof) {
        if (sheet.type == Bof) {
            // An embedded chart's records, its cached series values among them, are not the sheet's cells.
            if (!sheet.skipSubstream())
                break;
            continue;
        }
        if (stringPending) {
            if (sheet.type == SharedFormula || sheet.type == ArrayFormula || sheet.type == DataTable
                || sheet.type == Continue)
                continue;
            if (sheet.type == FormulaString) {
                stringPending = false;
                RecordBytes bytes = sheet.continued();
                std::uint16_t chars;
                QString text;
                const bool kept = bytes.u16(chars) && bytes.string(chars, text)
                                      ? add(pendingRow, pendingColumn, text)
                                      : resultNeverCame();
                if (!kept)
                    return false;
                continue;
            }
            if (!resultNeverCame())
                return false;
        }
        const char* p = sheet.body;
        const std::size_t length = sheet.length;
        bool kept = true;
        switch (sheet.type) {
        case Number:
            if (length >= 14) {
                double value;
                std::memcpy(&value, p + 6, sizeof value);
                kept = add(le16(p), le16(p + 2), number(value, le16(p + 4)));
            }
            break;
        case Rk:
            if (length >= 10)
                kept = add(le16(p), le16(p + 2), number(rkNumber(le32(p + 6)), le16(p + 4)));
            break;
        case MulRk:
            for (std::size_t i = 0; kept && length >= 6 && 4 + 6 * (i + 1) <= length - 2; ++i)
                kept = add(le16(p), std::uint16_t(le16(p + 2) + i),
                           number(rkNumber(le32(p + 6 + 6 * i)), le16(p + 4 + 6 * i)));
            break;
        case LabelSst:
            if (length < 10)
                break;
            if (le32(p + 6) >= m_sharedStrings.size()) {
                problem = QStringLiteral("a shared string its table does not hold");
                return false;
            }
            kept = add(le16(p), le16(p + 2), m_sharedStrings[le32(p + 6)]);
            break;
        case Label:
        case RichLabel:
            if (length >= 9)
                kept = add(le16(p), le16(p + 2), recordString(p + 6, length - 6, 2));
            break;
        case BoolErr:
            if (length >= 8)
                kept = add(le16(p), le16(p + 2), p[7] ? QVariant(errorText(std::uint8_t(p[6]))) : QVariant(p[6] != 0));
            break;
        case Formula:
        case FormulaBiff3:
        case FormulaBiff4:
            if (length < 14)
                break;
            if (le16(p + 12) != 0xFFFF) {
                double value;
                std::memcpy(&value, p + 6, sizeof value);
                kept = add(le16(p), le16(p + 2), number(value, le16(p + 4)));
            } else if (p[6] == 0) {
                stringPending = true;
                pendingRow = le16(p);
                pendingColumn = le16(p + 2);
            } else if (p[6] == 1) {
                kept = add(le16(p), le16(p + 2), p[8] != 0);
            } else if (p[6] == 2) {
                kept = add(le16(p), le16(p + 2), errorText(std::uint8_t(p[8])));
            }
            break;   // an empty text result (3): no value
        default:
            break;
        }
        if (!kept)
            return false;
    }
    if (stringPending && !resultNeverCame())
        return false;
    std::stable_sort(cells.begin(), cells.end(),
                     [](const BiffCell& a, const BiffCell& b) { return a.position < b.position; });
    // The last record at a position is the one a spreadsheet program shows.
    std::vector<BiffCell> unique;
    unique.reserve(cells.size());
    for (BiffCell& cell : cells) {
        if (!unique.empty() && unique.back().position == cell.position)
            unique.back() = std::move(cell);
        else
            unique.push_back(std::move(cell));
    }
    cells.swap(unique);
    return true;
}

} // namespace reader
