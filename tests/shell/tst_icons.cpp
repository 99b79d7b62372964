#include <QIcon>
#include <QImage>
#include <QTest>

// The forms name their icons by resource path; a missing file or an image the
// ICO reader cannot decode would leave their buttons blank without a word.
class TestIcons final : public QObject
{
    Q_OBJECT

private slots:
    void loads_data()
    {
        QTest::addColumn<QString>("name");
        for (const char* name : {"Add", "Apply", "Delete", "Lock", "Notes", "Save", "Script", "Unlock"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    void loads()
    {
        QFETCH(QString, name);
        const QString path = QStringLiteral(":/icons/icons/") + name + QStringLiteral(".ico");
        const QImage image(path);
        QVERIFY2(!image.isNull(), qPrintable(path));
        QCOMPARE(image.size(), QSize(32, 32));
        QVERIFY(image.hasAlphaChannel());
        // A transparent corner and something drawn.
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
        int opaque = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                opaque += qAlpha(image.pixel(x, y)) == 255;
        QVERIFY(opaque > 100);
        QVERIFY(!QIcon(path).isNull());
    }
};

QTEST_MAIN(TestIcons)
#include "tst_icons.moc"
