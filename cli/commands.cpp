#include "commands.h"

#include "forms/collection/collectionsettings.h"
#include "forms/credit/creditsettings.h"
#include "export/settingsfile.h"
#include "forms/payroll/payrollsettings.h"
#include "forms/transfer/transfersettings.h"

#include <QSettings>

Command commandFor(const QString& type)
{
    if (type == QLatin1String("transfer"))
        return runTransferCommand;
    if (type == QLatin1String("credit"))
        return runCreditCommand;
    if (type == QLatin1String("collection"))
        return runCollectionCommand;
    // parseCommandLine admits the four types only.
    return runPayrollCommand;
}

QString saveTemplateMapping(kova::BatchType type, const QString& settingsPath)
{
    QString group;
    QStringList keys;
    switch (type) {
    case kova::BatchType::Transfer:
        group = transferGroup();
        keys = transferColumnKeys();
        break;
    case kova::BatchType::Credit:
        group = creditGroup();
        keys = creditColumnKeys();
        break;
    case kova::BatchType::Collection:
        group = collectionGroup();
        keys = collectionColumnKeys();
        break;
    case kova::BatchType::Payroll:
        group = payrollGroup();
        keys = payrollColumnKeys();
        break;
    }
    QSettings settings(settingsPath, QSettings::IniFormat);
    settings.beginGroup(group);
    for (int i = 0; i < keys.size(); ++i)
        settings.setValue(keys.at(i), i + 1);
    settings.setValue(QStringLiteral("HasColumnHeader"), true);
    settings.endGroup();
    return kova::syncSettings(settings) ? QString()
                                        : QStringLiteral("Unable to write settings ") + settingsPath;
}
