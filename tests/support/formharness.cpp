#include "formharness.h"

#include <QCoreApplication>
#include "register/batchregister.h"

#include <QDir>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStandardItemModel>
#include <QTableView>

FormHarness::FormHarness()
{
    removeSettingsFile();
    Messages::setPresenter([this](QWidget*, Messages::Kind kind, const QString& text) { boxes.append({kind, text}); });
}

FormHarness::~FormHarness()
{
    Messages::setPresenter({});
    removeSettingsFile();
}

QString FormHarness::settingsPath()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("kova.ini"));
}

void FormHarness::removeSettingsFile()
{
    // Some tests block the file with a folder of the same name.
    const QString path = settingsPath();
    QDir(path).removeRecursively();
    // Through QSettings, so its per-process cache forgets the last test's values too.
    QSettings(path, QSettings::IniFormat).clear();
    QFile::remove(path);
    // The register of written batches beside it: each test starts with no batch written.
    QFile::remove(kova::registerPathFor(path));
}

void FormHarness::attach(QWidget* form)
{
    connect(form, SIGNAL(SIG_HEADER_CHANGE(QStringList)), this, SLOT(onHeader(QStringList)));
    connect(form, SIGNAL(SIG_TRX_PROC(QStringList,QList<QPoint*>,QStringList,int)), this,
            SLOT(onRow(QStringList,QList<QPoint*>,QStringList,int)));
    connect(form, SIGNAL(SIG_TRX_DONE(QStringList)), this, SLOT(onDone(QStringList)));
    connect(form, SIGNAL(SIG_EXPBTN_CLICK()), this, SLOT(onExportClick()));
}

void FormHarness::onRow(QStringList values, QList<QPoint*> points, QStringList messages, int amountColumn)
{
    Row row{values, {}, messages, amountColumn};
    for (const QPoint* p : points)
        row.points.append(*p);
    rows.append(row);
}

void FormHarness::map(const QStringList& names, const QList<int>& indexes, int offered)
{
    for (int i = 0; i < names.size(); ++i) {
        QComboBox* c = combo(names.at(i));
        c->clear();
        c->addItem(QString());
        for (int k = 0; k < offered; ++k)
            c->addItem(QString(QLatin1Char(char('A' + k))));
        c->setCurrentIndex(indexes.value(i, 0));
    }
}

void FormHarness::mapAll(const QStringList& names, int offered)
{
    QList<int> indexes;
    for (int i = 0; i < names.size(); ++i)
        indexes.append(i + 1);
    map(names, indexes, offered > 0 ? offered : names.size());
}

QStandardItemModel* FormHarness::accounts() const
{
    return qobject_cast<QStandardItemModel*>(w<QTableView>(QStringLiteral("tblAcc"))->model());
}

void FormHarness::addAccount(const QString& account, const QString& code)
{
    w<QPushButton>(QStringLiteral("btnAdd"))->click();
    const int row = accounts()->rowCount() - 1;
    accounts()->item(row, 1)->setText(account);
    accounts()->item(row, 2)->setText(code);
}

QRadioButton* FormHarness::radio(int row) const
{
    return qobject_cast<QRadioButton*>(w<QTableView>(QStringLiteral("tblAcc"))->indexWidget(accounts()->index(row, 0)));
}

QStringList FormHarness::boxTexts() const
{
    QStringList texts;
    for (const Box& box : boxes)
        texts.append(box.text);
    return texts;
}
