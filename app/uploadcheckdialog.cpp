#include "uploadcheckdialog.h"

#include "verify/uploadcheck.h"
#include "verify/uploadfacts.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QThread>
#include <QVBoxLayout>

namespace {

// Problem lines shown; past them the dialog says how many more kova-export verify prints.
constexpr int shownProblemBytes = 1 << 20;

struct Outcome
{
    QString verdict;
    QString text;
};

Outcome checkUpload(const QString& path, const QString& settingsPath)
{
    kova::UploadCheck check(path);
    if (!check.failure().isEmpty())
        return {QStringLiteral("Not checked: ") + check.failure(), {}};
    QString text = kova::uploadFacts(check, settingsPath).join(QLatin1Char('\n')) + QLatin1Char('\n');
    QByteArray problems;
    const bool whole = check.problems().writeTo([&problems](const QByteArray& lines) {
        problems += lines;
        return problems.size() < shownProblemBytes;
    });
    if (!whole && problems.size() >= shownProblemBytes) {
        problems.truncate(problems.lastIndexOf('\n', shownProblemBytes) + 1);
        problems += "... and more: kova-export verify " + QDir::toNativeSeparators(path).toUtf8()
                    + " prints every problem line\n";
    }
    text += QString::fromUtf8(problems);
    const int count = check.problemCount();
    return {count == 0 ? QStringLiteral("Sound: the file passes every check")
                       : QStringLiteral("%1 %2: the bank would refuse this file")
                             .arg(count)
                             .arg(count == 1 ? QStringLiteral("problem") : QStringLiteral("problems")),
            text};
}

} // namespace

UploadCheckDialog::UploadCheckDialog(const QString& uploadPath, const QString& settingsPath, QWidget* parent)
    : QDialog(parent)
    , m_verdict(new QLabel(QStringLiteral("Checking %1 ...").arg(QDir::toNativeSeparators(uploadPath)), this))
    , m_text(new QPlainTextEdit(this))
{
    setWindowTitle(QStringLiteral("Check an upload file"));
    m_verdict->setObjectName(QStringLiteral("lblVerdict"));
    m_verdict->setWordWrap(true);
    m_verdict->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont bold = m_verdict->font();
    bold.setBold(true);
    m_verdict->setFont(bold);
    m_text->setObjectName(QStringLiteral("txtCheck"));
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_verdict);
    layout->addWidget(m_text);
    layout->addWidget(buttons);
    resize(820, 460);

    auto* outcome = new Outcome;
    QThread* worker = QThread::create([outcome, uploadPath, settingsPath] { *outcome = checkUpload(uploadPath, settingsPath); });
    connect(worker, &QThread::finished, this, [this, outcome] {
        showCheck(outcome->verdict, outcome->text);
    });
    // The worker outlives a dialog closed early; what it found is then dropped.
    connect(worker, &QThread::finished, worker, [worker, outcome] {
        delete outcome;
        worker->deleteLater();
    });
    worker->start();
}

QString UploadCheckDialog::verdict() const
{
    return m_done ? m_verdict->text() : QString();
}

QString UploadCheckDialog::text() const
{
    return m_text->toPlainText();
}

void UploadCheckDialog::showCheck(const QString& verdict, const QString& text)
{
    m_verdict->setText(verdict);
    m_text->setPlainText(text);
    m_done = true;
    emit checked();
}
