#include "usage.h"

#include "types/registry.h"

QString usageLine()
{
    return QStringLiteral(
        "Usage: kova-export TYPE --source WORKBOOK --sheet SHEET --dest FILE [options]");
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

WORKBOOK is an .xlsx or .xlsm workbook, an Excel 97-2003 .xls workbook, or
delimited text (.csv, .txt), told apart by their content. Delimited text is
one sheet named after the file, so --sheet may be left out; its delimiter and
encoding are found from the content unless given.

Options:
  --delimiter comma|semicolon|tab|pipe
                        delimited text: the delimiter (default: found)
  --encoding utf-8|utf-16le|utf-16be|windows-1252
                        delimited text: the encoding (default: the byte order
                        mark, else UTF-8 when valid, else windows-1252)
  --date-order dmy|mdy  delimited text: the date column's order when none of
                        its dates tells (such as 25/12/2026 does) whether
                        05/12/2026 is day first or month first (default: dmy)
  --decimal-mark dot|comma
                        delimited text: the amounts' decimal mark (default:
                        what the amount column shows, as 1.250.000,00 or
                        1,234.56 do; a column where 750.000 could be either
                        is refused without it)
  --settings FILE       the settings file (default: kova.ini beside the executable
                        when that folder is writable, else ~/.config/kova/kova.ini)
  --from DATE           start of the date filter, YYYY-MM-DD (default: today)
  --to DATE             end of the date filter (default: today); the filter is
                        on only when the date column is mapped
  --mode wdk|others     beneficiary-bank mode, transfer and credit (default: wdk)
  --clearing llg|rtgs   clearing in Others mode (default: llg)
  --wdk sp|mp           credit in WDK mode: "One To One (SP)" or
                        "One To Many (MP)" (default: sp)
  --min N, --max N      the two limit fields in Others mode (default: the
                        stored limits of the chosen clearing)
  --effective DATE      effective date (default: today); for credit and
                        collection it also selects "On" instead of
                        "Immediate On Authorization"
  --account N           row N (from 1) of the stored accounts table is the
                        checked one: credit, collection, payroll (default: none)
  --remarks1 TEXT       batch remarks, credit and collection (default: empty)
  --remarks2 TEXT
  --holiday before|after  payroll holiday choice (default: before)
  --header-id TEXT      transfer Header ID (default: the stored one)
  --corporate-id TEXT   transfer Corporate ID (default: the stored one)
  --header-row N        the row of the column titles (default: the saved one,
                        1 when none is saved); the rows above it are no data
  --report FILE         also write the run's log as JSON
  --allow-duplicate     write a batch even when the same payments were written
                        before, or the register cannot tell
  --save-mapping        template: store the template's columns as TYPE's mapping
  --help                show this text

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
