#include "types/collectiondescriptor.h"
#include "types/columnmap.h"
#include "types/creditdescriptor.h"
#include "types/payrolldescriptor.h"
#include "types/registry.h"
#include "types/transferdescriptor.h"

#include <QtTest>

#include <numeric>

Q_DECLARE_METATYPE(kova::BatchType)

namespace {

template <typename Field>
int enumCount()
{
    return int(Field::Count);
}

int enumCount(kova::BatchType type)
{
    switch (type) {
    case kova::BatchType::Transfer: return enumCount<kova::TransferField>();
    case kova::BatchType::Credit: return enumCount<kova::CreditField>();
    case kova::BatchType::Collection: return enumCount<kova::CollectionField>();
    case kova::BatchType::Payroll: return enumCount<kova::PayrollField>();
    }
    return -1;
}

// A map of every field at its own column, then assigned columns 1..length.
template <typename Field>
QVector<int> assigned(int length)
{
    kova::ColumnMap<Field> map;
    QVector<int> every(enumCount<Field>());
    std::iota(every.begin(), every.end(), 7);
    map.assign(every);
    QVector<int> columns(length);
    std::iota(columns.begin(), columns.end(), 1);
    map.assign(columns);
    return map.toVector();
}

QVector<int> assigned(kova::BatchType type, int length)
{
    switch (type) {
    case kova::BatchType::Transfer: return assigned<kova::TransferField>(length);
    case kova::BatchType::Credit: return assigned<kova::CreditField>(length);
    case kova::BatchType::Collection: return assigned<kova::CollectionField>(length);
    case kova::BatchType::Payroll: return assigned<kova::PayrollField>(length);
    }
    return {};
}

} // namespace

class TestColumnMap final : public QObject
{
    Q_OBJECT

private slots:
    // A column map has a place for each enumerator before Count; the settings
    // file, the mapping rows and the checks go by the descriptor's fields.
    void fieldEnumMatchesDescriptor_data()
    {
        QTest::addColumn<kova::BatchType>("type");
        for (const kova::TypeDescriptor* type : kova::transactionTypes())
            QTest::newRow(qPrintable(type->keyword)) << type->type;
    }
    void fieldEnumMatchesDescriptor()
    {
        QFETCH(kova::BatchType, type);
        QCOMPARE(enumCount(type), kova::descriptorOf(type).fields.size());
    }

    // Columns counted for another list of fields are refused whole, not cut
    // or padded into the map: every field is then unmapped, never shifted.
    void assignTakesOneColumnPerField_data()
    {
        QTest::addColumn<kova::BatchType>("type");
        QTest::addColumn<int>("difference");   // columns given beyond the fields
        for (const kova::TypeDescriptor* type : kova::transactionTypes())
            for (int difference : {0, -1, 1})
                QTest::addRow("%s, %d", qPrintable(type->keyword), difference) << type->type << difference;
    }
    void assignTakesOneColumnPerField()
    {
        QFETCH(kova::BatchType, type);
        QFETCH(int, difference);
#ifndef QT_NO_DEBUG
        if (difference != 0)
            QSKIP("a debug build stops at the assertion instead");
#endif
        const int fields = kova::descriptorOf(type).fields.size();
        QVector<int> expected(fields);
        if (difference == 0)
            std::iota(expected.begin(), expected.end(), 1);
        QCOMPARE(assigned(type, fields + difference), expected);
    }
};

QTEST_GUILESS_MAIN(TestColumnMap)
#include "test_column_map.moc"
