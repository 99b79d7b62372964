#include "usage.h"

#include "optiontable.h"

#include "types/registry.h"

QString usageLine()
{
    QString line = QStringLiteral("Usage: kova-export TYPE");
    for (const CommandOption& option : commandOptions())
        if (option.listing == Listing::Usage)
            line += QLatin1Char(' ') + option.synopsis();
    return line + QStringLiteral(" [options]");
}

namespace {

// "TYPE: transfer | credit | ...", in the window's order.
QString typeLine()
{
    QStringList keywords;
    for (const kova::TypeDescriptor* type : kova::transactionTypes())
        keywords.append(type->keyword);
    return QStringLiteral("TYPE: ") + keywords.join(QStringLiteral(" | "));
}

// "Options:" and, for each option the usage line leaves out, its name and
// value, then its help from column 24 on: two spaces after a name that
// reaches that column, on the next line after one that passes it.
QString optionsSection()
{
    struct Entry
    {
        QString term;
        QString help;
    };
    QVector<Entry> entries;
    for (const CommandOption& option : commandOptions()) {
        if (option.listing == Listing::Options)
            entries.append({QStringLiteral("  ") + option.synopsis(), option.helpText});
        else if (option.listing == Listing::BesidePrevious)
            entries.last().term += QStringLiteral(", ") + option.synopsis();
    }
    const int column = 24;
    const QString indent(column, QLatin1Char(' '));
    QString section = QStringLiteral("Options:\n");
    for (const Entry& entry : qAsConst(entries)) {
        if (entry.help.isEmpty())
            section += entry.term;
        else if (entry.term.size() > column)
            section += entry.term + QLatin1Char('\n') + indent;
        else
            section += entry.term.leftJustified(qMax(column, entry.term.size() + 2));
        section += QString(entry.help).replace(QLatin1Char('\n'), QLatin1Char('\n') + indent) + QLatin1Char('\n');
    }
    return section;
}

} // namespace

QString helpText()
{
    return usageLine() + QString::fromUtf8(R"help(
  or:  kova-export history [--settings FILE]
  or:  kova-export template TYPE --dest FILE.xlsx [--save-mapping] [--settings FILE]
  or:  kova-export verify FILE [--settings FILE]
)help") + typeLine() + QString::fromUtf8(R"help(

Exports one sheet of WORKBOOK to the upload file FILE, exactly as the KOVA
window does with the settings saved for TYPE (column mapping, "Has Column
Header", company data). Summary, separator and every warning and error line go
to standard output; the texts of the window's message boxes go to standard
error, and so do the fields that followed their saved column titles to
another column and the rows the filters left out. A saved title the header
row lacks, or holds twice, refuses the export before any row is read.

A batch that pays what an earlier batch of TYPE paid (same accounts, amounts,
names and references, in any order) for the same effective date from the same
account is refused with the earlier batch's date, file and Header ID, unless
--allow-duplicate is given; so is every batch while that register cannot be
read. Every upload file written is recorded in kova-batches.sqlite beside the
settings file (links followed).

history prints that register, newest first, one batch a line: date, type,
Header ID, records, total and file, separated by tabs.

template writes an .xlsx template for TYPE: one header row with the fields in
the order of the form's mapping. --save-mapping also stores that order, all
but the date column (a mapped date turns the date filter on), and
"Has Column Header" for TYPE in the settings file.

verify checks an upload file of any TYPE, however it was made, as the bank
reads it: the type told by its header record, every record's width or
fields, LF line ends, each field's rules, and the header's record count and
total against the records. It prints the type, Header ID (transfer), effective
date, record count, total, the SHA-256 of the file's bytes and whether the
register holds a batch written with that SHA-256, then each problem with its
line in the file (LINE 1 is the header record).

WORKBOOK is an .xlsx or .xlsm workbook, an Excel 97-2003 .xls workbook, an
OpenDocument .ods spreadsheet, or delimited text (.csv, .txt), told apart by
their content. Delimited text is
one sheet named after the file, so --sheet may be left out; its delimiter and
encoding are found from the content unless given.

)help") + optionsSection() + QString::fromUtf8(R"help(
Exit status:
  0   upload file written (history printed, template written, verified
      file sound)
  1   rows had errors, nothing written (verify: the file has problems)
  2   refused, nothing written: settings checks, paths, sheet cannot be
      selected, no row to export, a file cannot be opened or written,
      settings not writable, another export using the settings, the same
      payments written before, the register unreadable, history or
      template failed (verify: FILE cannot be read or is no upload file)
  3   upload file written, but not recorded in the register or the
      --report file could not be written: do not retry
  64  bad usage)help");
}
