#include "commands.h"

#include "core/collection/collectionsettings.h"
#include "core/credit/creditsettings.h"
#include "export/settingsfile.h"
#include "core/payroll/payrollsettings.h"
#include "core/transfer/transfersettings.h"

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
