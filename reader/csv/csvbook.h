#pragma once

#include "reader/cells/book.h"
#include "reader/cells/textoptions.h"
#include "reader/csv/csvrows.h"

#include <QByteArray>

#include <memory>
#include <optional>

namespace reader {

class CsvStream;

// Delimited text (CSV and its kin, as accounting programs export it) read as
// a workbook of one sheet. Every cell is text, as written: no number or date
// is guessed, so account numbers keep their leading zeros and a reference
// such as 01.12.2026 stays as it is; a field that takes a date or an amount
// reads the text by what its column shows.
//
// The sheet is read when it is selected, in full or not at all: text that is
// cut inside a quoted field, holds quotes no reading keeps in their lines
// (csvquotes.h), holds bytes its encoding does not allow or breaks a limit
// cannot be selected, and problem() says why and on which line. With
// SheetAccess::InOrder it is read once as its rows are asked for instead
// (csvstream.h), and one that does not read breaks off.
class CsvBook final : public Book
{
public:
    // Larger text is refused: a full-size payment sheet of 20 columns is
    // well below it, and the sheet is held in memory as UTF-8.
    static constexpr qint64 kMaxBytes = qint64(256) * 1024 * 1024;

    // The sheet is named sheetName. A path is read when the sheet is selected.
    CsvBook(const QString& path, const QString& sheetName, const TextOptions& options, SheetAccess access);
    CsvBook(const QByteArray& bytes, const QString& sheetName, const TextOptions& options, SheetAccess access);
    ~CsvBook() override;

    QStringList sheetNames() const override;
    bool selectSheet(const QString& name) override;
    CellRange dimension() const override;
    QVariant read(int row, int column) const override;
    QString text(int row, int column) const override;
    void textInto(int row, int column, QString& into) const override;
    bool rowsReach(int row) const override;
    bool readIntact() const override;
    QString problem() const override { return m_problem; }
    std::optional<TextEncoding> encodingToTry() const override { return m_encodingToTry; }

    // What the selected sheet was read with; the options as given until then.
    char delimiter() const { return m_options.delimiter; }
    TextEncoding encoding() const { return m_options.encoding; }
    TextOptions textOptions() const override;

private:

    static bool looksLikeText(const char* data, std::size_t size, TextEncoding encoding);
    void open(qint64 size, const char* head, std::size_t headSize);
    bool load(const char* data, std::size_t size);
    void refuseBytes(const char* data, std::size_t size, std::size_t line, bool chosen);
    bool parse(const char* utf8, std::size_t size);
    bool selectStreamed();

    QString m_path;
    QByteArray m_bytes;
    QString m_sheetName;
    TextOptions m_options;
    const SheetAccess m_access;
    bool m_openable = false;
    bool m_loaded = false;
    bool m_selected = false;
    QString m_problem;
    std::optional<TextEncoding> m_encodingToTry;

    CsvRows m_rows;
    CellRange m_range;
    std::unique_ptr<CsvStream> m_stream;
};

} // namespace reader
