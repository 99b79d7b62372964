#pragma once

#include "xlsx/textoptions.h"

#include <QWidget>

class QComboBox;

// The delimiter and encoding of a source of delimited text, beside the sheet
// choice: "Found" reads them from the content, anything else overrides it.
// Shown only while the source is delimited text.
class SourceTextChoice final : public QWidget
{
    Q_OBJECT

public:
    explicit SourceTextChoice(QWidget* parent = nullptr);

    xlsx::TextOptions options() const;
    // Shows options without announcing them.
    void setOptions(const xlsx::TextOptions& options);

signals:
    // The user chose another delimiter or encoding.
    void changed();

private:
    QComboBox* m_delimiter;
    QComboBox* m_encoding;
};
