#pragma once

#include "reader/cells/textoptions.h"

#include <QWidget>

#include <optional>

class QComboBox;

// How a source of delimited text is read, beside the sheet choice: its
// delimiter and encoding ("Found" reads them from the content and, once read,
// names what it found; anything else overrides it), the date order where no date of the date column tells, and
// the amounts' decimal mark ("Found": what the amount column shows).
// Shown only while the source is delimited text.
class SourceTextChoice final : public QWidget
{
    Q_OBJECT

public:
    explicit SourceTextChoice(QWidget* parent = nullptr);

    reader::TextOptions options() const;
    // Shows options without announcing them.
    void setOptions(const reader::TextOptions& options);
    // The delimiter and encoding the reader found, named in the "Found"
    // choice ("Found: Semicolon"); nullopt where it found none (the text was
    // not read, or was read as the user chose).
    void showFound(std::optional<char> delimiter, std::optional<reader::TextEncoding> encoding);

signals:
    // The user chose another delimiter, encoding, date order or decimal mark.
    void changed();

private:
    QComboBox* m_delimiter;
    QComboBox* m_encoding;
    QComboBox* m_dateOrder;
    QComboBox* m_decimalMark;
};
