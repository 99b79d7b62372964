#pragma once

#include "reader/cells/serialdate.h"
#include "reader/xls/biffdecryption.h"

#include <QString>
#include <QVariant>

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace reader {

struct BiffCell
{
    std::uint32_t position;   // row << 8 | column, both 0-based: sorts row by row
    QVariant value;
    // A formula whose text result the file never gave: value is "=" only.
    bool unknown = false;
};

// The records of an Excel 97-2003 workbook (BIFF8, the "Workbook" stream of
// a compound file, or its "Book" stream) that hold its sheets and cells.
// Every length the file claims is checked against the bytes that are there; a
// workbook of an older BIFF version or malformed, or encrypted and not
// opened, has no sheets.
class BiffWorkbook final
{
public:
    // The most cells a sheet may hold, as for an .xlsx sheet.
    static constexpr std::size_t kMaxCells = std::size_t(1) << 25;

    // An encrypted workbook is decrypted with Excel's default key or password.
    bool load(const char* data, std::size_t size, const QString& password);
    // Why load() failed, for the user, where more is known than that it did.
    const QString& problem() const { return m_problem; }
    // What its FILEPASS record came to; Opened for one without.
    BiffUnlock unlock() const { return m_unlock; }
    const std::vector<QString>& sheetNames() const { return m_names; }
    // The cells of the sheet, ordered by position, a later record at a
    // position replacing an earlier one; false for a sheet that cannot be
    // read, with problem saying why where that is known.
    // The substreams of charts and other objects inside the sheet are passed over.
    bool readSheet(std::size_t index, std::vector<BiffCell>& cells, QString& problem) const;

private:
    bool isDate(std::uint16_t xf) const;
    QVariant number(double value, std::uint16_t xf) const;

    std::string m_stream;
    QString m_problem;
    BiffUnlock m_unlock = BiffUnlock::Opened;
    DateSystem m_dateSystem = DateSystem::From1900;
    std::vector<QString> m_sharedStrings;
    std::map<std::uint16_t, std::string> m_formatCodes;
    std::vector<std::uint16_t> m_formatOfXf;
    std::vector<QString> m_names;
    std::vector<std::uint32_t> m_sheetOffsets;
};

// A number as the readers give it: qlonglong when whole and below 10^15 in
// magnitude, so its text has neither an exponent nor a trailing ".0".
QVariant sheetNumber(double value);

} // namespace reader
