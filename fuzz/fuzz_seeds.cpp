// Writes the seed corpora of the fuzz targets into OUT/package, OUT/sheet,
// OUT/csv and OUT/celltext: small workbooks written by libxlsxwriter (numbers,
// dates, formulas with cached results, shared and inline strings, several
// sheets), their sheet and shared-strings XML, the same for markup
// libxlsxwriter does not write (other namespaces, prefixes, preserved and
// dropped text edges, results to recalculate), an .xls whose FILEPASS says
// XOR obfuscation, delimited text in each delimiter and encoding, and cell
// texts of every rule.
#include "packagebytes.h"

#include "reader/xls/xorobfuscation.h"

#include <QDir>
#include <QFile>

#include <xlsxwriter.h>

#include <cstdio>

namespace {

bool save(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

void fill(lxw_workbook* book, lxw_worksheet* sheet, int variant)
{
    lxw_format* date = workbook_add_format(book);
    format_set_num_format(date, "yyyy-mm-dd");
    lxw_format* time = workbook_add_format(book);
    format_set_num_format(time, "dd/mm/yyyy hh:mm:ss");
    lxw_format* money = workbook_add_format(book);
    format_set_num_format(money, "#,##0.00");
    const char* titles[] = {"Date", "Account", "Name", "Amount", "Remark", "Paid"};
    for (int c = 0; c < 6; ++c)
        worksheet_write_string(sheet, 0, lxw_col_t(c), titles[c], nullptr);
    for (int r = 1; r <= 3 + variant; ++r) {
        lxw_datetime day = {2024, 1 + r % 12, 1 + r * 3 % 28, r % 2 ? 0 : 8, 30, r % 2 ? 0.0 : 15.5};
        worksheet_write_datetime(sheet, lxw_row_t(r), 0, &day, r % 2 ? date : time);
        worksheet_write_number(sheet, lxw_row_t(r), 1, 1234567890.0 + r, nullptr);
        worksheet_write_string(sheet, lxw_row_t(r), 2, r % 2 ? "Siti Rahma" : "  Budi_x0041_ & <Co>", nullptr);
        worksheet_write_number(sheet, lxw_row_t(r), 3, 1500000.5 * r - 0.005, money);
        worksheet_write_string(sheet, lxw_row_t(r), 4, "line\nbreak", nullptr);
        worksheet_write_boolean(sheet, lxw_row_t(r), 5, r % 2, nullptr);
    }
    const lxw_row_t last = lxw_row_t(4 + variant);
    worksheet_write_formula_num(sheet, last, 3, "=SUM(D2:D4)", money, 4500001.5);
    worksheet_write_formula_str(sheet, last, 2, "=C2&\"!\"", nullptr, "Siti Rahma!");
    worksheet_write_formula(sheet, last, 4, "=D2*2", nullptr);
    worksheet_write_number(sheet, last + 1, 16383, -7.25e-3, nullptr);
}

QByteArray workbook(const QString& path, int sheets, bool inlineStrings)
{
    lxw_workbook_options options = {};
    options.constant_memory = inlineStrings ? LXW_TRUE : LXW_FALSE;
    lxw_workbook* book = workbook_new_opt(QFile::encodeName(path).constData(), &options);
    for (int s = 0; s < sheets; ++s)
        fill(book, workbook_add_worksheet(book, nullptr), s);
    if (workbook_close(book) != LXW_NO_ERROR)
        return {};
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// kinds-default.xls with its FILEPASS turned to XOR obfuscation under
// Excel's default key: the records after it are decoded, as garbage, and read.
QByteArray xorObfuscatedXls()
{
    QFile file(QStringLiteral(KOVA_FIXTURES "/kinds-default.xls"));
    QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    const QByteArray rc4("\x2F\x00\x36\x00\x01\x00\x01\x00\x01\x00", 10);
    const int at = bytes.indexOf(rc4);
    if (at < 0)
        return {};
    const std::string password = reader::xorobfuscation::passwordBytes(QStringLiteral("VelvetSweatshop"));
    const std::uint16_t key = reader::xorobfuscation::key(password);
    const std::uint16_t verifier = reader::xorobfuscation::verifier(password);
    const char body[] = {0, 0, char(key & 0xFF), char(key >> 8), char(verifier & 0xFF), char(verifier >> 8)};
    return bytes.replace(at + 4, int(sizeof body), body, int(sizeof body));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUT\n", argv[0]);
        return 64;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    for (const char* folder : {"package", "sheet", "csv", "celltext"})
        if (!out.mkpath(folder))
            return 1;
    int n = 0;
    for (int sheets : {1, 3})
        for (bool inlineStrings : {false, true}) {
            const QString name = QString("package/book%1.xlsx").arg(++n);
            const QByteArray bytes = workbook(out.filePath(name), sheets, inlineStrings);
            if (bytes.isEmpty())
                return 1;
            QByteArray sheet = fuzz::partOf(bytes, "xl/worksheets/sheet1.xml");
            const QByteArray strings = fuzz::partOf(bytes, "xl/sharedStrings.xml");
            if (!strings.isEmpty())
                sheet += '\0' + strings;
            if (!save(out.filePath(QString("sheet/sheet%1.xml").arg(n)), sheet))
                return 1;
        }
    const QByteArray main = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
    const QByteArray crafted = "<x:worksheet xmlns:x=\"" + main + "\" xmlns:k=\"urn:k\" xmlns:mc=\"http://schemas.openxmlformats.org/"
        "markup-compatibility/2006\" mc:Ignorable=\"k\"><x:sheetData><x:row r=\"1\"><x:c r=\"A1\"><x:v>1500000</x:v></x:c>"
        "<k:c r=\"A1\"><k:v>950000000</k:v></k:c><x:c r=\"B1\" t=\"inlineStr\"><x:is><x:r><x:t xml:space=\"preserve\"> a </x:t></x:r>"
        "<x:r><x:t> b\n</x:t></x:r></x:is></x:c><x:c r=\"C1\" t=\"s\" k:t=\"n\"><x:v>0</x:v></x:c><x:c r=\"D1\" t=\"str\"><x:f>\"\"</x:f>"
        "<x:v></x:v></x:c><x:c r=\"E1\"><x:f>1000*2</x:f><x:v>999999</x:v></x:c></x:row><k:row r=\"2\"><x:c r=\"A2\"><x:v>1</x:v></x:c>"
        "</k:row><x:row r=\"3\"><c r=\"A3\" xmlns=\"http://purl.oclc.org/ooxml/spreadsheetml/main\"><v>3</v></c></x:row></x:sheetData>"
        "</x:worksheet>";
    const QByteArray strings = "<sst xmlns=\"" + main + "\" xmlns:k=\"urn:k\"><si><k:t>98765</k:t><t xml:space=\"preserve\">0012345679 "
                               "</t></si><k:si><t>x</t></k:si><si><t> \t</t></si></sst>";
    if (!save(out.filePath("sheet/namespaces.xml"), crafted + '\0' + strings)
        || !save(out.filePath("package/namespaces.xlsx"), fuzz::workbookAround(crafted, strings))
        || !save(out.filePath("package/recalculated.xlsx"), fuzz::workbookAround(crafted, strings, "<calcPr fullCalcOnLoad=\"1\"/>")))
        return 1;
    const QByteArray xls = xorObfuscatedXls();
    if (xls.isEmpty() || !save(out.filePath("package/xor-default.xls"), xls))
        return 1;
    // An OpenDocument spreadsheet, stored, so that its content.xml mutates as XML: repeats, spans,
    // spaces, a covered cell, an error, a formula without a result, other prefixes.
    const QByteArray odsContent = "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
        "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
        "xmlns:t=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
        "xmlns:calcext=\"urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0\"><office:body><office:spreadsheet>"
        "<table:table table:name=\"S\"><table:table-row><table:table-cell office:value-type=\"float\" office:value=\"1500000.5\" "
        "table:number-columns-repeated=\"2\"/><table:table-cell office:value-type=\"string\"><text:p>a<text:s text:c=\"2\"/>"
        "<text:span>b</text:span><text:tab/>c</text:p><text:p>d</text:p></table:table-cell><table:covered-table-cell/>"
        "<table:table-cell office:value-type=\"date\" office:date-value=\"2026-12-05T13:45:30\"/></table:table-row>"
        "<t:table-row t:number-rows-repeated=\"3\"><t:table-cell table:formula=\"of:=[.A1]\"/><table:table-cell "
        "table:formula=\"of:=1/0\" office:value-type=\"string\" office:string-value=\"\" calcext:value-type=\"error\">"
        "<text:p>#DIV/0!</text:p></table:table-cell><table:table-cell office:value-type=\"time\" office:time-value=\"PT36H\"/>"
        "</t:table-row><table:table-row table:number-rows-repeated=\"1048570\"><table:table-cell "
        "table:number-columns-repeated=\"16384\"/></table:table-row></table:table><table:table table:name=\"T\"/>"
        "</office:spreadsheet></office:body></office:document-content>";
    if (!save(out.filePath("package/crafted.ods"),
              fuzz::packageBytes(QList<QPair<QString, QByteArray>>{{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
                                                                    {"content.xml", odsContent}})))
        return 1;
    // The first byte says how the text is read: 0 finds delimiter and encoding.
    const QByteArray csv[] = {
        QByteArray(1, 0) + "Name;Account;Date;Amount\r\n\"Doe; \"\"J\"\"\";0012345678;05/12/2026;1.500,50\r\n",
        QByteArray(1, 0) + "\xEF\xBB\xBFName,Date\n\"two\nlines\",2026-12-05\n\nx,31.12.2026",
        QByteArray(1, 0) + QByteArray("\xFF\xFEN\0a\0\t\0b\0\n\0", 12),
        QByteArray(1, 8) + QByteArray("\xFE\xFF\0N\0|\0\xE9\0\n", 11),
        QByteArray(1, 26) + "Jos\xE9|\x80 5|12/31/2026\n\"open",
    };
    for (const QByteArray& text : csv)
        if (!save(out.filePath(QString("csv/text%1").arg(++n)), text))
            return 1;
    n = 0;
    const char* texts[] = {"1500000.50", " 1.005 ", "-0.004", "+1E3", "1e-2", "12345678901234567890123.45", "nan",
                           "1,5", "0012345678", "12 34", "Siti\nRahma", "  padded name  ",
                           "\xE6\xBC\xA2\xE5\xAD\x97 name", "99999999999999999999999999999999999999999", "",
                           "05/12/2026", "12/25/26 13:45", "2026-12-05 00:00:00.000", "5 Desember 2026", "Dec 5, 2026",
                           "1.250.000,00", "1,234,567.89", "750.000", "-1,5E+06"};
    n = 0;
    for (const char* text : texts) {
        ++n;
        if (!save(out.filePath(QString("celltext/text%1").arg(n)), QByteArray(1, char(10 + n)) + text))
            return 1;
    }
    for (double serial : {45000.0, 45351.5104166667, 60.0, 0.25, -1.0, 2958465.0})
        if (!save(out.filePath(QString("celltext/serial%1").arg(n++)),
                  QByteArray(1, char(20)) + QByteArray(reinterpret_cast<const char*>(&serial), sizeof serial)))
            return 1;
    return 0;
}
