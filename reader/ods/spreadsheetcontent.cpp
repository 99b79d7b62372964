#include "spreadsheetcontent.h"

#include "reader/cells/cellreference.h"
#include "reader/cells/textlimit.h"

#include <QDateTime>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <optional>

namespace reader {

namespace {

// A repeat count as written; 1 when absent or no count.
std::int64_t repeatOf(const char* text)
{
    if (!text)
        return 1;
    std::int64_t count = 0;
    const char* end = text + std::strlen(text);
    const auto parsed = std::from_chars(text, end, count);
    if (parsed.ec == std::errc::result_out_of_range)
        return INT64_MAX / 2;
    return parsed.ec == std::errc() && parsed.ptr == end && count > 0 ? count : 1;
}

std::optional<double> numberOf(const std::string& text)
{
    const char* begin = text.data();
    const char* end = begin + text.size();
    if (begin != end && *begin == '+')
        ++begin;
    double number = 0.0;
    const auto parsed = std::from_chars(begin, end, number);
    if (parsed.ec != std::errc() || parsed.ptr != end || begin == end)
        return std::nullopt;
    return number;
}

// A date value ("2026-12-05", "2026-12-05T13:45:30.5") in milliseconds
// since 1970 UTC; a time without a zone is a plain clock time, as a serial is.
std::optional<double> dateOf(const std::string& text)
{
    const QString iso = QString::fromStdString(text);
    QDateTime dateTime;
    if (iso.contains(QLatin1Char('T'))) {
        dateTime = QDateTime::fromString(iso, Qt::ISODateWithMs);
        if (dateTime.isValid() && dateTime.timeSpec() == Qt::LocalTime)
            dateTime.setTimeSpec(Qt::UTC);
    } else {
        dateTime = QDateTime(QDate::fromString(iso, Qt::ISODate), QTime(0, 0), Qt::UTC);
    }
    if (!dateTime.isValid())
        return std::nullopt;
    return double(dateTime.toMSecsSinceEpoch());
}

// A time value, an ISO 8601 duration ("PT13H45M30S", "PT36H00M00S",
// "-P1DT2H"), as the days it spans: LibreOffice counts it from the same
// day as a date serial of the 1900 system, so it reads as the .xlsx twin's.
std::optional<double> durationOf(const std::string& text)
{
    const char* p = text.c_str();
    const bool negative = *p == '-';
    if (negative)
        ++p;
    if (*p++ != 'P')
        return std::nullopt;
    double seconds = 0.0;
    bool inTime = false, any = false;
    while (*p) {
        if (*p == 'T' && !inTime) {
            inTime = true;
            ++p;
            continue;
        }
        double amount = 0.0;
        const auto parsed = std::from_chars(p, p + std::strlen(p), amount);
        if (parsed.ec != std::errc() || amount < 0)
            return std::nullopt;
        p = parsed.ptr;
        switch (inTime ? *p : (*p == 'D' ? 'D' : '\0')) {
        case 'D': seconds += amount * 86400; break;
        case 'H': seconds += amount * 3600; break;
        case 'M': seconds += amount * 60; break;
        case 'S': seconds += amount; break;
        default: return std::nullopt;
        }
        ++p;
        any = true;
    }
    if (!any)
        return std::nullopt;
    return (negative ? -seconds : seconds) / 86400;
}

// The formula as the user sees it: "=" and the formula, without the
// namespace of its syntax ("of:=SUM([.A1:.A3])").
std::string formulaText(const std::string& formula)
{
    std::size_t start = 0;
    const std::size_t colon = formula.find(':');
    if (colon != std::string::npos && formula.find('=') == colon + 1)
        start = colon + 1;
    const std::string shown = formula.substr(start);
    return shown.compare(0, 1, "=") == 0 ? shown : "=" + shown;
}

bool isXmlSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

void copy(std::string& to, const char* value)
{
    if (value)
        to.assign(value);
    else
        to.clear();
}

} // namespace

void SpreadsheetContent::startElement(const OdfName& name, const char** attributes)
{
    ++m_depth;
    if (m_skipDepth)
        return;
    if (m_paragraphDepth)
        return beginParagraphElement(name, attributes);
    if (m_cellDepth) {
        // Only the cell's own paragraphs are its text: an annotation's are
        // not, and a string value written as an attribute says it all.
        if (m_depth == m_cellDepth + 1 && !m_hasStringValue && name.is(OdfNamespace::Text, "p")) {
            m_paragraphDepth = m_depth;
            if (m_paragraphs++ > 0)
                append("\n", 1);
            m_swallowSpace = true;
        }
        return;
    }
    if (m_tableDepth) {
        // Another vocabulary's element holds no rows or cells of the sheet,
        // whatever it wraps.
        if (name.ns != OdfNamespace::Table) {
            m_skipDepth = m_depth;
        } else if (name.is(OdfNamespace::Table, "table-row") && !m_rowDepth) {
            m_rowDepth = m_depth;
            beginRow(attributes);
        } else if (m_rowDepth && (name.is(OdfNamespace::Table, "table-cell")
                                  || name.is(OdfNamespace::Table, "covered-table-cell"))) {
            m_cellDepth = m_depth;
            beginCell(attributes, name.local[0] == 'c');
        }
        return;
    }
    if (name.is(OdfNamespace::Office, "spreadsheet") && !m_spreadsheetDepth) {
        m_spreadsheetDepth = m_depth;
    } else if (m_spreadsheetDepth && m_depth == m_spreadsheetDepth + 1 && name.is(OdfNamespace::Table, "table")) {
        const char* sheetName = odfAttribute(attributes, OdfNamespace::Table, "name");
        m_names.append(QString::fromUtf8(sheetName ? sheetName : ""));
        if (m_names.size() - 1 == m_wanted)
            m_tableDepth = m_depth;
    }
}

void SpreadsheetContent::endElement(const OdfName&)
{
    const int depth = m_depth--;
    if (m_skipDepth) {
        if (depth == m_skipDepth)
            m_skipDepth = 0;
        return;
    }
    if (depth == m_paragraphDepth) {
        m_paragraphDepth = 0;
    } else if (depth == m_cellDepth) {
        endCell();
        m_cellDepth = 0;
    } else if (depth == m_rowDepth) {
        endRow();
        m_rowDepth = 0;
    } else if (depth == m_tableDepth) {
        m_tableDepth = 0;
        m_cells.finish();
    } else if (depth == m_spreadsheetDepth) {
        m_spreadsheetDepth = 0;
    }
}

void SpreadsheetContent::beginParagraphElement(const OdfName& name, const char** attributes)
{
    // Spans, links and fields show their text; drawings and notes anchored
    // in the paragraph do not.
    if (name.ns != OdfNamespace::Text || std::strcmp(name.local, "note") == 0) {
        m_skipDepth = m_depth;
        return;
    }
    if (std::strcmp(name.local, "s") == 0) {
        const std::int64_t count = repeatOf(odfAttribute(attributes, OdfNamespace::Text, "c"));
        if (std::uint64_t(count) > kMaxTextBytes - m_text.size())
            return fail(kLongTextProblem);
        m_text.append(std::size_t(count), ' ');
        m_swallowSpace = false;
    } else if (std::strcmp(name.local, "tab") == 0) {
        append("\t", 1);
        m_swallowSpace = false;
    } else if (std::strcmp(name.local, "line-break") == 0) {
        append("\n", 1);
        m_swallowSpace = false;
    }
}

void SpreadsheetContent::characters(const char* text, std::size_t length)
{
    if (!m_paragraphDepth || m_skipDepth)
        return;
    // White space in a paragraph collapses to one space, none at its start:
    // spaces that count are written as text:s.
    std::size_t from = 0;
    for (std::size_t i = 0; i < length; ++i) {
        if (!isXmlSpace(text[i]))
            continue;
        append(text + from, i - from);
        if (i > from || !m_swallowSpace)
            append(" ", 1);
        m_swallowSpace = true;
        from = i + 1;
    }
    if (from < length) {
        append(text + from, length - from);
        m_swallowSpace = false;
    }
}

void SpreadsheetContent::append(const char* text, std::size_t length)
{
    if (length > kMaxTextBytes - m_text.size())
        return fail(kLongTextProblem);
    m_text.append(text, length);
}

void SpreadsheetContent::beginRow(const char** attributes)
{
    m_rowRepeat = repeatOf(odfAttribute(attributes, OdfNamespace::Table, "number-rows-repeated"));
    m_column = 1;
    m_rowCells.clear();
}

void SpreadsheetContent::endRow()
{
    if (!m_rowCells.empty()) {
        if (m_row + m_rowRepeat - 1 > kMaxRows)
            return fail("more rows than a sheet may hold");
        // Checked before a cell is made: a row repeated a million times must
        // not first fill memory.
        if (std::uint64_t(m_rowRepeat) > (CellStore::kMaxCells - m_cellCount) / m_rowCells.size())
            return fail("more cells than a sheet may hold");
        for (std::int64_t r = 0; r < m_rowRepeat; ++r) {
            for (Cell cell : m_rowCells) {
                cell.row = std::uint32_t(m_row + r);
                m_cells.append(cell);
            }
        }
        m_cellCount += m_rowCells.size() * std::size_t(m_rowRepeat);
    }
    m_row = std::min<std::int64_t>(m_row + m_rowRepeat, INT64_MAX / 4);
}

void SpreadsheetContent::beginCell(const char** attributes, bool covered)
{
    m_cellRepeat = repeatOf(odfAttribute(attributes, OdfNamespace::Table, "number-columns-repeated"));
    m_covered = covered;
    m_text.clear();
    m_paragraphs = 0;
    copy(m_valueType, odfAttribute(attributes, OdfNamespace::Office, "value-type"));
    copy(m_calcType, odfAttribute(attributes, OdfNamespace::CalcExt, "value-type"));
    const char* value = odfAttribute(attributes, OdfNamespace::Office, "value");
    m_hasValue = value != nullptr;
    copy(m_value, value);
    copy(m_dateValue, odfAttribute(attributes, OdfNamespace::Office, "date-value"));
    copy(m_timeValue, odfAttribute(attributes, OdfNamespace::Office, "time-value"));
    copy(m_booleanValue, odfAttribute(attributes, OdfNamespace::Office, "boolean-value"));
    copy(m_formula, odfAttribute(attributes, OdfNamespace::Table, "formula"));
    // An error shows its text, whatever string value LibreOffice gives beside it.
    const char* stringValue = odfAttribute(attributes, OdfNamespace::Office, "string-value");
    m_hasStringValue = stringValue != nullptr && m_calcType != "error";
    if (m_hasStringValue)
        append(stringValue, std::strlen(stringValue));
}

bool SpreadsheetContent::valueOfAttributes(Value& value)
{
    std::optional<double> number;
    if (m_valueType == "float" || m_valueType == "currency" || m_valueType == "percentage") {
        value.kind = CellKind::Number;
        number = numberOf(m_value);
    } else if (m_valueType == "date") {
        value.kind = CellKind::IsoDate;
        number = dateOf(m_dateValue);
    } else if (m_valueType == "time") {
        value.kind = CellKind::Date;
        number = durationOf(m_timeValue);
    } else if (m_valueType == "boolean") {
        value.kind = CellKind::Boolean;
        if (m_booleanValue == "true" || m_booleanValue == "false")
            number = m_booleanValue == "true" ? 1.0 : 0.0;
    }
    if (number)
        value.number = *number;
    return number.has_value();
}

void SpreadsheetContent::endCell()
{
    const std::int64_t repeat = m_cellRepeat;
    const std::int64_t column = m_column;
    m_column = std::min<std::int64_t>(m_column + repeat, INT64_MAX / 4);
    if (m_covered)
        return;
    Value value{CellKind::Text};
    // LibreOffice writes an error result as the number 0 with its own mark
    // beside it: the cell shows the error, and so does the .xlsx twin.
    if (m_calcType == "error" || m_valueType == "string") {
        value.kind = CellKind::Text;
    } else if (valueOfAttributes(value)) {
        m_text.clear();
    } else if (!m_formula.empty()) {
        // A formula whose result is not stored (or not readable) has no
        // value to pay from.
        value.kind = CellKind::Formula;
        m_text = formulaText(m_formula);
    } else {
        value.kind = CellKind::Text;
    }
    const bool textual = value.kind == CellKind::Text || value.kind == CellKind::Formula;
    // An empty text is no value: a formula giving "" makes no cell.
    if (textual && m_text.empty())
        return;
    if (column + repeat - 1 > kMaxColumns)
        return fail("more columns than a sheet may hold");
    if (std::uint64_t(repeat) > CellStore::kMaxCells - m_rowCells.size())
        return fail("more cells than a sheet may hold");
    Cell cell{};
    cell.kind = value.kind;
    if (textual)
        cell.index = m_texts.add(m_text);
    else
        cell.number = value.number;
    m_formulas += value.kind == CellKind::Formula ? std::size_t(repeat) * std::size_t(m_rowRepeat) : 0;
    for (std::int64_t c = 0; c < repeat; ++c) {
        cell.column = std::uint16_t(column + c);
        m_rowCells.push_back(cell);
    }
}

} // namespace reader
