// A cell read as text is read(row, column).toString(), for every kind of
// value: the export reads millions of cells this shorter way.
#include "testpackage.h"

#include "xlsx/document.h"

#include <QTemporaryDir>
#include <QtTest>

class TestCellText final : public QObject
{
    Q_OBJECT

private slots:
    void textIsValueAsText_data()
    {
        QTest::addColumn<QByteArray>("cell");
        QTest::newRow("shared string") << QByteArray("<c r=\"A1\" t=\"s\"><v>0</v></c>");
        QTest::newRow("inline string") << QByteArray("<c r=\"A1\" t=\"inlineStr\"><is><t>x_x0009_y</t></is></c>");
        QTest::newRow("integer") << QByteArray("<c r=\"A1\"><v>1E+9</v></c>");
        QTest::newRow("negative integer") << QByteArray("<c r=\"A1\"><v>-7</v></c>");
        QTest::newRow("fraction") << QByteArray("<c r=\"A1\"><v>1000.25</v></c>");
        QTest::newRow("10^15") << QByteArray("<c r=\"A1\"><v>1000000000000000</v></c>");
        QTest::newRow("date") << QByteArray("<c r=\"A1\" s=\"1\"><v>45000</v></c>");
        QTest::newRow("date and time") << QByteArray("<c r=\"A1\" s=\"1\"><v>45000.5</v></c>");
        QTest::newRow("boolean") << QByteArray("<c r=\"A1\" t=\"b\"><v>1</v></c>");
        QTest::newRow("ISO date") << QByteArray("<c r=\"A1\" t=\"d\"><v>2024-02-29</v></c>");
        QTest::newRow("error") << QByteArray("<c r=\"A1\" t=\"e\"><v>#N/A</v></c>");
        QTest::newRow("formula without result") << QByteArray("<c r=\"A1\"><f>B1</f></c>");
        QTest::newRow("no value") << QByteArray("<c r=\"A1\" s=\"1\"/>");
    }
    void textIsValueAsText()
    {
        QFETCH(QByteArray, cell);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("book.xlsx"));
        QVERIFY(TestPackage()
                    .setSharedStrings("<si><t>plain</t></si>")
                    .setStyles({}, "<xf numFmtId=\"0\"/><xf numFmtId=\"14\"/>")
                    .addSheet("Sheet1", "<row r=\"1\">" + cell + "</row>")
                    .write(path));
        xlsx::Document document(path);
        QVERIFY(document.selectSheet(QStringLiteral("Sheet1")));
        for (int column : {1, 2})
            QCOMPARE(document.text(1, column), document.read(1, column).toString());
        QCOMPARE(document.text(1, 1).isNull(), !document.read(1, 1).isValid());
    }
};

QTEST_GUILESS_MAIN(TestCellText)
#include "test_cell_text.moc"
