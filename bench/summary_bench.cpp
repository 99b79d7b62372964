// The approval summary of a large batch: a payroll upload file of N records (99,999, the layout's
// most, by default) read back and drawn as a PDF. Prints the time, the pages and the process's peak
// memory.
#include "approval/approvalsummary.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdio>

namespace {

QByteArray payrollUpload(int count)
{
    qint64 cents = 0;
    QByteArray details;
    details.reserve(qsizetype(count) * 71);
    for (int i = 1; i <= count; ++i) {
        const qint64 amount = (1000 + i % 7) * 100;
        cents += amount;
        details += "0" + QByteArray::number(1000000000LL + i) + QByteArray::number(amount).rightJustified(15, '0')
                   + QByteArray("E").leftJustified(10, ' ') + ("EMPLOYEE " + QByteArray::number(i)).leftJustified(30, ' ')
                   + "D1  \n";
    }
    const QByteArray total = QByteArray::number(cents / 100) + '.' + QByteArray::number(cents % 100).rightJustified(2, '0');
    return QByteArray(11, ' ') + "123406789ABCD2501" + "1111111111" + "0000" + QByteArray::number(count).rightJustified(5, '0')
           + total.rightJustified(17, '0') + "122026\n" + details;
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int count = argc > 1 ? QByteArray(argv[1]).toInt() : 99999;
    QTemporaryDir dir;
    const QString upload = dir.filePath("payroll.txt");
    const QString pdf = dir.filePath("summary.pdf");
    const QByteArray bytes = payrollUpload(count);
    QFile file(upload);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return 2;
    file.close();
    const QString sha = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();

    QElapsedTimer timer;
    timer.start();
    const QString problem = kova::writeApprovalSummary({upload, pdf, sha});
    const double seconds = timer.nsecsElapsed() / 1e9;
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(problem));
        return 1;
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("summary of %d payments: %.2f s, %.1f MB of PDF, %.0f MiB peak\n", count, seconds,
                QFileInfo(pdf).size() / 1e6, usage.ru_maxrss / 1024.0);
    return 0;
}
