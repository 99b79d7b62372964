#pragma once

#include "reader/cells/cellstore.h"
#include "reader/cells/serialdate.h"

#include <QString>
#include <QVariant>

namespace reader {

class SharedStrings;
class StringPool;

// A stored cell as Document::read() and text() give it.
class CellValues final
{
public:
    CellValues(const SharedStrings& sharedStrings, DateSystem dateSystem);

    // texts holds the cell's own text, if it has one.
    QVariant value(const Cell& cell, const StringPool& texts) const;
    QString text(const Cell& cell, const StringPool& texts) const;
    // text() written over into: a text cell keeps into's memory (assignUtf8()).
    void textInto(const Cell& cell, const StringPool& texts, QString& into) const;

private:
    const SharedStrings& m_sharedStrings;
    const DateSystem m_dateSystem;
};

} // namespace reader
