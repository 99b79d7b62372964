#include "fixedrecord.h"

#include "fieldrules.h"

namespace kova {

bool FixedLayout::fitsShape(const QByteArray& record, bool, UploadProblems& problems) const
{
    for (int i = 0; i < record.size(); ++i) {
        const auto byte = static_cast<unsigned char>(record.at(i));
        if (byte < 0x20 || byte > 0x7e) {
            problems.add(QStringLiteral("byte 0x%1 at column %2 is not printable ASCII")
                             .arg(QString::number(byte, 16).toUpper().rightJustified(2, QLatin1Char('0')))
                             .arg(i + 1));
            break;
        }
    }
    if (record.size() == m_width)
        return true;
    problems.add(QStringLiteral("is %1 bytes long, not %2").arg(record.size()).arg(m_width));
    return false;
}

QString fixedField(const QByteArray& record, int column, int width)
{
    return QString::fromLatin1(record.mid(column - 1, width));
}

QString FixedRecord::field(int column, int width) const
{
    return fixedField(m_bytes, column, width);
}

void FixedRecord::expect(int column, const QString& text) const
{
    if (field(column, text.size()) == text)
        return;
    const int width = text.size();
    m_problems.add(width == 1 ? QStringLiteral("column %1 is not %2").arg(column).arg(text)
                              : QStringLiteral("columns %1-%2 are not %3").arg(column).arg(column + width - 1).arg(text));
}

void FixedRecord::expectSpaces(int column, int width) const
{
    if (field(column, width) == QString(width, QLatin1Char(' ')))
        return;
    m_problems.add(width == 1 ? QStringLiteral("column %1 is not a space").arg(column)
                              : QStringLiteral("columns %1-%2 are not spaces").arg(column).arg(column + width - 1));
}

void companyColumns(const FixedRecord& record, UploadHeader& header, UploadProblems& problems)
{
    header.effectiveDate = effectiveDateOrNone(record.field(4, 8), problems);
    header.account = record.field(12, 10);
    checkDigits(QStringLiteral("account"), header.account, 10, problems);
    record.expectSpaces(22, 1);
    header.company = record.field(23, 8);
    checkDigits(QStringLiteral("company code"), header.company, 8, problems);
    record.expectSpaces(31, 15);
}

} // namespace kova
