#pragma once

#include "uploadlayout.h"

namespace kova {

// What the three fixed-width layouts (credit, collection, payroll) share:
// every record is the layout's width in bytes, each byte printable ASCII,
// since the bank counts bytes and a character beyond ASCII takes more than one.
class FixedLayout : public UploadLayout
{
public:
    bool fitsShape(const QByteArray& record, bool header, UploadProblems& problems) const final;

protected:
    explicit FixedLayout(int width) : m_width(width) {}

private:
    int m_width;
};

// The field at column (from 1) of a record fitsShape() passed.
QString fixedField(const QByteArray& record, int column, int width);

// One fixed-width record, its fields taken by the columns the layouts number
// them with (from 1), and the parts of it that never vary.
class FixedRecord final
{
public:
    FixedRecord(const QByteArray& bytes, UploadProblems& problems) : m_bytes(bytes), m_problems(problems) {}

    QString field(int column, int width) const;
    // The field is text: "columns 46-49 are not 0000".
    void expect(int column, const QString& text) const;
    // "columns 31-45 are not spaces".
    void expectSpaces(int column, int width) const;

private:
    const QByteArray& m_bytes;
    UploadProblems& m_problems;
};

// Columns 4 to 45 of the credit and collection headers, which begin alike:
// the effective date or none, the company account and the digits of its
// company code, read into header.
void companyColumns(const FixedRecord& record, UploadHeader& header, UploadProblems& problems);

} // namespace kova
