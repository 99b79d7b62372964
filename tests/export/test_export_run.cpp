#include <QtTest>
class TestExportRun final : public QObject { Q_OBJECT };
QTEST_GUILESS_MAIN(TestExportRun)
#include "test_export_run.moc"
